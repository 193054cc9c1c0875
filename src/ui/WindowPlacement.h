#pragma once
// The main window's size, place, maximised state and splitter, kept in the options store
// between runs, and the window kept inside the area a screen leaves for windows: a window
// larger than its screen, or saved on a screen that is gone, would open with its title bar
// out of reach.

#include <QList>
#include <QRect>
#include <QString>

class QSplitter;
class QWidget;
class TVelquinReaderOptions;

// wanted moved, and shrunk where it is larger, so that it lies inside the one of available
// it overlaps most (the first when it overlaps none). Empty available: wanted unchanged.
QRect ClampToScreens(const QRect& wanted, const QList<QRect>& available);
// The available areas of the screens attached now, the primary first.
QList<QRect> AvailableScreenAreas();
// Moves and shrinks a top-level window (its frame once it has one) into the screens'
// available areas; its minimum size is lowered where the screen is smaller still.
void ClampWindowToScreens(QWidget& window);

// "list,preview" as stored; empty for anything but two sizes of 0..kMaxSplitterSize.
QList<int> ParseSplitterSizes(const QString& text);
inline constexpr int kMaxSplitterSize = 100000;

// Before the first show: the saved size, place, maximised state and splitter sizes, clamped
// to the screens; without saved ones only the clamp. A store that cannot be read changes
// nothing.
void RestoreWindowPlacement(QWidget& window, QSplitter& splitter);
// The same from options already loaded; nullptr for a store that could not be read.
void RestoreWindowPlacement(QWidget& window, QSplitter& splitter, const TVelquinReaderOptions* options);
// Saves them; a store that cannot be written is left as it is (closing never fails).
void SaveWindowPlacement(const QWidget& window, const QSplitter& splitter);
