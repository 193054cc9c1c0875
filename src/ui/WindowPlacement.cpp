#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "VelquinReaderOptions.h"

namespace {

// Saved frames are taken only within these bounds: a hand-edited store must not ask for a
// window of millions of pixels or at a place no integer arithmetic survives.
constexpr int kMaxCoordinate = 1'000'000;
constexpr int kMaxExtent = 100'000;

qint64 OverlapArea(const QRect& a, const QRect& b) {
  const QRect both = a.intersected(b);
  return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

}  // namespace

QRect ClampToScreens(const QRect& wanted, const QList<QRect>& available) {
  if (available.isEmpty()) return wanted;
  QRect area = available.first();
  qint64 best = 0;
  for (const QRect& candidate : available) {
    const qint64 overlap = OverlapArea(wanted, candidate);
    if (overlap > best) {
      best = overlap;
      area = candidate;
    }
  }
  const int width = std::clamp(wanted.width(), 1, std::max(1, area.width()));
  const int height = std::clamp(wanted.height(), 1, std::max(1, area.height()));
  const int x = std::clamp(wanted.x(), area.left(), area.left() + area.width() - width);
  const int y = std::clamp(wanted.y(), area.top(), area.top() + area.height() - height);
  return {x, y, width, height};
}

QList<QRect> AvailableScreenAreas() {
  QList<QRect> areas;
  if (QScreen* primary = QGuiApplication::primaryScreen()) areas << primary->availableGeometry();
  for (QScreen* screen : QGuiApplication::screens())
    if (screen != QGuiApplication::primaryScreen()) areas << screen->availableGeometry();
  return areas;
}

void ClampWindowToScreens(QWidget& window) {
  // A maximised window is the desktop's to place; moving it would end the maximised state.
  if (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  const QList<QRect> areas = AvailableScreenAreas();
  if (areas.isEmpty()) return;
  // The frame (title bar and borders) counts once the window has one; before the first
  // show it is the window alone.
  const QRect frame = window.frameGeometry();
  const QRect fitted = ClampToScreens(frame, areas);
  if (fitted == frame) return;
  const QSize extra = frame.size() - window.size();
  const QSize client(std::max(1, fitted.width() - extra.width()), std::max(1, fitted.height() - extra.height()));
  window.setMinimumSize(window.minimumSize().boundedTo(client));
  window.resize(client);
  window.move(fitted.topLeft());
}

QList<int> ParseSplitterSizes(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 2) return {};
  QList<int> sizes;
  for (const QString& part : parts) {
    bool ok = false;
    const int value = part.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > kMaxSplitterSize) return {};
    sizes << value;
  }
  return sizes;
}

void RestoreWindowPlacement(QWidget& window, QSplitter& splitter) {
  std::optional<TVelquinReaderOptions> options;
  try {
    options.emplace();
  } catch (const std::exception&) {
    // The store's own notice tells of a damaged store; the window opens as designed.
    options.reset();
  }
  RestoreWindowPlacement(window, splitter, options ? &*options : nullptr);
}

void RestoreWindowPlacement(QWidget& window, QSplitter& splitter, const TVelquinReaderOptions* options) {
  bool maximized = false;
  try {
    if (options != nullptr) {
      const int width = options->WindowWidth(), height = options->WindowHeight();
      const int left = options->WindowLeft(), top = options->WindowTop();
      if (width > 0 && height > 0 && width <= kMaxExtent && height <= kMaxExtent &&
          std::abs(left) <= kMaxCoordinate && std::abs(top) <= kMaxCoordinate) {
        window.resize(width, height);
        window.move(left, top);
      }
      const QList<int> sizes = ParseSplitterSizes(QString::fromStdString(options->SplitterSizes()));
      if (!sizes.isEmpty() && sizes[0] + sizes[1] > 0) splitter.setSizes(sizes);
      maximized = options->WindowMaximized();
    }
  } catch (const std::exception&) {
    // A value that cannot be read leaves the rest as designed.
  }
  // Clamped first: moving a window takes its maximised state away.
  ClampWindowToScreens(window);
  if (maximized) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void SaveWindowPlacement(const QWidget& window, const QSplitter& splitter) {
  try {
    TVelquinReaderOptions options;
    const bool maximized = window.isMaximized();
    // A maximised window keeps the frame it returns to.
    const QRect normal = maximized ? window.normalGeometry() : QRect(window.pos(), window.size());
    if (normal.width() > 0 && normal.height() > 0) {
      options.SetWindowLeft(normal.x());
      options.SetWindowTop(normal.y());
      options.SetWindowWidth(normal.width());
      options.SetWindowHeight(normal.height());
    }
    options.SetWindowMaximized(maximized);
    const QList<int> sizes = splitter.sizes();
    if (sizes.size() == 2)
      options.SetSplitterSizes(QStringLiteral("%1,%2").arg(sizes[0]).arg(sizes[1]).toStdString());
  } catch (const std::exception&) {
  }
}
