// The main window inside the screen and as the user left it: clamped to a small screen
// (this binary runs with QT_SCALE_FACTOR=2, so the offscreen 800 x 600 screen is 400 x 300),
// and its size, place, maximised state and splitter kept in the options store.

#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTest>

#include "UiTestSupport.h"
#include "VelquinReaderOptions.h"
#include "WindowPlacement.h"
#include "fmTNEFReader.h"
#include "ui_fmTNEFReader.h"

class TWindowPlacementTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  static QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    UseWindowTestEnvironment(FDir);
  }
  void init() {
    // Each test starts without a saved placement.
    TVelquinReaderOptions options;
    options.SetWindowWidth(0);
    options.SetWindowHeight(0);
    options.SetWindowLeft(0);
    options.SetWindowTop(0);
    options.SetWindowMaximized(false);
    options.SetSplitterSizes("");
  }

  void clampMovesAndShrinksIntoTheScreenItOverlapsMost() {
    const QList<QRect> screens{QRect(0, 0, 1280, 900), QRect(1280, 0, 1920, 1080)};
    // Larger than the screen: shrunk to it, the title bar's corner on screen.
    QCOMPARE(ClampToScreens(QRect(-50, -40, 1538, 1100), screens.mid(0, 1)), QRect(0, 0, 1280, 900));
    // Mostly on the second screen: kept there, pushed in from its right edge.
    QCOMPARE(ClampToScreens(QRect(3000, 100, 400, 300), screens), QRect(2800, 100, 400, 300));
    // Saved on a screen that is gone: brought back to the first.
    QCOMPARE(ClampToScreens(QRect(5000, 4000, 600, 400), screens.mid(0, 1)), QRect(680, 500, 600, 400));
    // Inside: unchanged.
    QCOMPARE(ClampToScreens(QRect(10, 20, 300, 200), screens), QRect(10, 20, 300, 200));
    QCOMPARE(ClampToScreens(QRect(10, 20, 300, 200), {}), QRect(10, 20, 300, 200));
  }

  void splitterSizesAreTakenOnlyWhenSound() {
    QCOMPARE(ParseSplitterSizes(QStringLiteral("323,446")), (QList<int>{323, 446}));
    for (const char* bad : {"", "323", "1,2,3", "a,b", "-5,100", "100,1000000000"})
      QVERIFY2(ParseSplitterSizes(QString::fromLatin1(bad)).isEmpty(), bad);
  }

  void theWindowOpensInsideASmallScreen() {
    QVERIFY(Available().width() < 769 || Available().height() < 550);  // the design's size does not fit
    TfmVelquinDatReader w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(10);
    QVERIFY2(Available().contains(w.frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(w.x()).arg(w.y()).arg(w.width()).arg(w.height())));
  }

  void placementAndSplitterComeBackAtTheNextStart() {
    {
      TfmVelquinDatReader w;
      w.resize(360, 300);
      w.move(20, 10);
      w.Form().Splitter->setSizes({200, 150});
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      QTest::qWait(10);
      const QList<int> sizes = w.Form().Splitter->sizes();
      w.close();
      TVelquinReaderOptions options;
      QCOMPARE(options.WindowWidth(), 360);
      QCOMPARE(options.WindowHeight(), 300);
      QCOMPARE(options.SplitterSizes(), QStringLiteral("%1,%2").arg(sizes[0]).arg(sizes[1]).toStdString());
    }
    TfmVelquinDatReader again;
    QCOMPARE(again.size(), QSize(360, 300));
    QCOMPARE(again.pos(), QPoint(20, 10));
    QVERIFY(!again.isMaximized());
  }

  void savedValuesThatNoLongerFitAreClamped() {
    {
      TVelquinReaderOptions options;
      options.SetWindowLeft(4000);
      options.SetWindowTop(-3000);
      options.SetWindowWidth(2500);
      options.SetWindowHeight(90);
      options.SetSplitterSizes("5,x");
    }
    TfmVelquinDatReader w;
    QVERIFY(Available().contains(w.frameGeometry()));
    QCOMPARE(w.width(), Available().width());
    QCOMPARE(w.height(), 300);  // the window's minimum height
    QVERIFY(w.Form().Splitter->sizes().first() > 5);  // the unsound sizes were not taken
  }

  void aMaximisedWindowOpensMaximisedAndKeepsItsNormalFrame() {
    {
      TfmVelquinDatReader w;
      w.resize(300, 300);
      w.move(30, 0);
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      w.showMaximized();
      QTest::qWait(10);
      w.close();
    }
    TVelquinReaderOptions options;
    QVERIFY(options.WindowMaximized());
    QCOMPARE(options.WindowWidth(), 300);
    TfmVelquinDatReader again;
    QVERIFY(again.windowState() & Qt::WindowMaximized);
  }
};

QTEST_MAIN(TWindowPlacementTest)
#include "WindowPlacementTest.moc"
