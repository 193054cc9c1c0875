// What the window's start is spared, checked against what it stands in for: the list header
// sized in its regular face as Qt would size it in the bold one, and the toolbar icons drawn
// at build time as the SVG files draw at run time.

#include <QHeaderView>
#include <algorithm>
#include <QPainter>
#include <QStandardItemModel>
#include <QSvgRenderer>
#include <QTest>
#include <QTreeView>

#include "BakedIcons.h"
#include "DeferredIcons.h"
#include "ListHeader.h"
#include "VelquinReaderOptions.h"
#include "fmTNEFReader.h"
#include "UiTestSupport.h"

namespace {

QImage LiveRender(const QString& file, int size) {
  QSvgRenderer renderer(QStringLiteral(":/icons/") + file + QStringLiteral(".svg"));
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter, QRectF(0, 0, size, size));
  return image;
}

QImage Shown(const QIcon& icon, int size, QIcon::Mode mode) {
  return icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool SameWithin(const QImage& a, const QImage& b, int tolerance) {
  if (a.size() != b.size()) return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
          std::abs(qBlue(p) - qBlue(q)) > tolerance || std::abs(qAlpha(p) - qAlpha(q)) > tolerance)
        return false;
    }
  return true;
}

}  // namespace

class StartupPartsTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Q_INIT_RESOURCE(icons); }

  void listHeaderIsAsTallAsQtMakesItAndKeepsTheViewsSettings() {
    QStandardItemModel model(0, 3);
    model.setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Size")});
    for (const int points : {8, 9, 14}) {
      QTreeView view;
      QFont font = view.font();
      font.setPointSize(points);
      view.setFont(font);
      view.header()->setSectionsMovable(true);
      view.header()->setStretchLastSection(true);
      TListHeader* header = TListHeader::Install(view);
      QCOMPARE(view.header(), header);
      view.setModel(&model);
      view.setSortingEnabled(true);
      header->setSortIndicator(-1, Qt::AscendingOrder);
      QVERIFY(header->sectionsMovable());
      QVERIFY(header->stretchLastSection());
      QVERIFY(header->sectionsClickable());
      // What Qt's own header, measuring in bold, asks for with the same font and model.
      QHeaderView plain(Qt::Horizontal);
      plain.setFont(font);
      plain.setModel(&model);
      plain.setSortIndicatorShown(true);
      plain.setSortIndicator(-1, Qt::AscendingOrder);
      QCOMPARE(header->sizeHint().height(), plain.sizeHint().height());
      // Sizing a section to its contents is still Qt's bold measure.
      QCOMPARE(header->sectionSizeHint(0), plain.sectionSizeHint(0));
    }
  }

  void bakedIconsAreTheSvgFilesPixels() {
    QVERIFY(kBakedIconCount > 0);
    for (int i = 0; i < kBakedIconCount; ++i) {
      const TBakedIcon& baked = kBakedIcons[i];
      const QString file = QString::fromLatin1(baked.Name);
      const QImage pixels(reinterpret_cast<const uchar*>(baked.Pixels), baked.Size, baked.Size,
                          QImage::Format_ARGB32_Premultiplied);
      QVERIFY2(SameWithin(pixels, LiveRender(file, baked.Size), 0), qPrintable(file));
    }
  }

  void iconsShowTheirModesFileAtBakedAndOtherSizes() {
    struct TCase {
      QString Name;
      QIcon::Mode Mode;
      QString File;
    };
    const QList<TCase> cases{{QStringLiteral("save"), QIcon::Normal, QStringLiteral("save")},
                             {QStringLiteral("save"), QIcon::Disabled, QStringLiteral("save-disabled")},
                             {QStringLiteral("open"), QIcon::Active, QStringLiteral("open-highlighted")},
                             // No selected variant: the normal file.
                             {QStringLiteral("web"), QIcon::Selected, QStringLiteral("web")},
                             {QStringLiteral("velquin-reader"), QIcon::Normal, QStringLiteral("velquin-reader")}};
    for (const TCase& c : cases) {
      const QIcon icon = DeferredSvgIcon(c.Name);
      // 16 and 32 are baked for every toolbar icon; 28 and 40 come from the picture module.
      for (const int size : {16, 32, 28, 40}) {
        const QImage shown = Shown(icon, size, c.Mode);
        const QImage live = LiveRender(c.File, size);
        QVERIFY2(SameWithin(shown, live, 1), qPrintable(c.File + QLatin1Char(' ') + QString::number(size)));
        // Not the transparent square of an icon that could not be drawn.
        QVERIFY(std::any_of(reinterpret_cast<const QRgb*>(shown.constBits()),
                            reinterpret_cast<const QRgb*>(shown.constBits()) + size * size,
                            [](QRgb p) { return qAlpha(p) != 0; }));
      }
    }
  }

  void firstShowReadsTheOptionsAsTheyAreThen() {
    QTemporaryDir dir;
    UseScratchRegistry(dir);
    TVelquinReaderOptions().SetHasShowedOptions(true);
    TVelquinReaderOptions().SetMapi32Path("/opt/before.so");
    TfmVelquinDatReader window;
    // Written between the window's construction (whose options it holds until the first
    // show) and that show, which must read it.
    TVelquinReaderOptions().SetMapi32Path("/opt/after.so");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.Mapi32Path(), QStringLiteral("/opt/after.so"));
  }
};

QTEST_MAIN(StartupPartsTest)
#include "StartupPartsTest.moc"
