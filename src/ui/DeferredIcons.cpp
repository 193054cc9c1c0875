#include "DeferredIcons.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <memory>

#include "BakedIcons.h"
#include "IconRaster.h"
#include "PictureModuleLoader.h"

namespace {

// The file's pixels at that size from the build, or a null pixmap where none were baked.
QPixmap BakedPixmap(const QString& file, const QSize& size) {
  if (size.width() != size.height()) return {};
  const QByteArray name = file.toUtf8();
  for (int i = 0; i < kBakedIconCount; ++i) {
    const TBakedIcon& baked = kBakedIcons[i];
    if (baked.Size != size.width() || name != baked.Name) continue;
    // The image reads the pixels in place; the pixmap takes its own copy.
    const QImage image(reinterpret_cast<const uchar*>(baked.Pixels), baked.Size, baked.Size,
                       baked.Size * int(sizeof(quint32)), QImage::Format_ARGB32_Premultiplied);
    return QPixmap::fromImage(image);
  }
  return {};
}

// The file drawn at that size by the picture module's SVG support; transparent where the
// module cannot be loaded or the file not read.
QPixmap DrawnPixmap(const QString& file, const QSize& size) {
  std::unique_ptr<TSvgDrawing> drawing;
  QFile svg(QStringLiteral(":/icons/") + file + QStringLiteral(".svg"));
  if (const TPictureModule* module = PictureModule(); module != nullptr && svg.open(QIODevice::ReadOnly))
    drawing = module->ParseSvg(svg.readAll());
  return QPixmap::fromImage(RenderIcon(size, [&](QPainter& painter, const QRectF& target) {
    if (drawing) drawing->Render(painter, target);
  }));
}

// One SVG file per mode; a missing mode falls back to the normal file.
class TSvgIconEngine final : public QIconEngine {
public:
  explicit TSvgIconEngine(const QString& name) : FName(name) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap shown = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
    shown.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect, shown);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    if (size.isEmpty()) return {};
    const quint64 key = (quint64(mode) << 48) | (quint64(size.width() & 0xFFFFFF) << 24) | quint64(size.height() & 0xFFFFFF);
    if (const auto found = FCache.constFind(key); found != FCache.constEnd()) return *found;
    const QString file = FileFor(mode);
    QPixmap drawn = BakedPixmap(file, size);
    if (drawn.isNull()) drawn = DrawnPixmap(file, size);
    // A handful of sizes per icon at most (toolbar, menu, window icon), so the cache stays small.
    FCache.insert(key, drawn);
    return drawn;
  }

  // Scalable: every size asked for is a size it has.
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QString key() const override { return QStringLiteral("velquin-deferred-svg"); }
  QIconEngine* clone() const override { return new TSvgIconEngine(FName); }
  bool isNull() override { return false; }

private:
  // The icon file's name for the mode, without its directory and ".svg".
  QString FileFor(QIcon::Mode mode) const {
    QString variant;
    if (mode == QIcon::Disabled) variant = FName + QStringLiteral("-disabled");
    if (mode == QIcon::Active) variant = FName + QStringLiteral("-highlighted");
    return !variant.isEmpty() && QFile::exists(QStringLiteral(":/icons/") + variant + QStringLiteral(".svg")) ? variant
                                                                                                         : FName;
  }

  QString FName;
  QHash<quint64, QPixmap> FCache;
};

// Forwards everything to the icon made on first use.
class TDeferredIconEngine final : public QIconEngine {
public:
  explicit TDeferredIconEngine(std::shared_ptr<std::function<QIcon()>> make) : FMake(std::move(make)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    return Icon().pixmap(size / scale, scale, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Icon().availableSizes(mode, state);
  }
  QString key() const override { return QStringLiteral("velquin-deferred"); }
  QIconEngine* clone() const override { return new TDeferredIconEngine(FMake); }
  bool isNull() override { return false; }

private:
  const QIcon& Icon() {
    if (!FIcon) FIcon = std::make_unique<QIcon>((*FMake)());
    return *FIcon;
  }

  std::shared_ptr<std::function<QIcon()>> FMake;
  std::unique_ptr<QIcon> FIcon;
};

// The application's own style, with the overflow buttons' icons made on first draw. Every
// toolbar makes its overflow button at once, and the style reads the button's PNG files for
// it, though a toolbar wide enough for its buttons never shows it.
class TDeferredIconStyle final : public QProxyStyle {
public:
  explicit TDeferredIconStyle(QStyle* base) : QProxyStyle(base) {}

  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
      return QProxyStyle::standardIcon(icon, option, widget);
    // The direction picks the arrow's way; the rest of the option does not matter to it.
    const Qt::LayoutDirection direction = option ? option->direction : QGuiApplication::layoutDirection();
    QPointer<QStyle> base(baseStyle());
    return DeferredIcon([base, icon, direction] {
      if (!base) return QIcon();
      QStyleOption shown;
      shown.direction = direction;
      return base->standardIcon(icon, &shown);
    });
  }
};

}  // namespace

void DeferStyleIcons() { QApplication::setStyle(new TDeferredIconStyle(QApplication::style())); }

QIcon DeferredSvgIcon(const QString& name) { return QIcon(new TSvgIconEngine(name)); }

QIcon DeferredIcon(std::function<QIcon()> make) {
  return QIcon(new TDeferredIconEngine(std::make_shared<std::function<QIcon()>>(std::move(make))));
}
