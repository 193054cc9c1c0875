#pragma once
// Icons that cost nothing until they are drawn. Loading every icon of the window up front
// (each SVG parsed when it is added, the style's PNG sets read and probed) is a good part
// of the start-up, and most variants (hovered, disabled, the hidden Back button's) are never
// drawn at all.

#include <QIcon>
#include <QString>
#include <functional>

// The SVG icon :/icons/<name>.svg, with <name>-disabled.svg and <name>-highlighted.svg (hover)
// where they exist. At the sizes drawn at build time (BakedIcons.h) the build's pixels are
// shown; any other size is drawn from the file when first asked for, by the picture module.
QIcon DeferredSvgIcon(const QString& name);

// The icon that make returns, made when it is first drawn or measured.
QIcon DeferredIcon(std::function<QIcon()> make);

// Wraps the application's style so that the icons it makes from image files on request and
// that a window may never draw (the toolbars' overflow buttons) are read when first drawn.
void DeferStyleIcons();
