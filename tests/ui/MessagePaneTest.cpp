// The message pane as the text engine lays it out: bodies are built as TNEF files in code,
// converted as the window converts them and shown in the pane's own browser.

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QWheelEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextLayout>
#include <QtTest>

#include "BodyHead.h"
#include "MessageBrowser.h"
#include "MessageBodyView.h"
#include "TNEFReaderClass.h"
#include "TnefBuilder.h"

namespace {

int FrameDepth(const QTextFrame* frame) {
  int deepest = 0;
  for (const QTextFrame* child : frame->childFrames()) deepest = std::max(deepest, FrameDepth(child));
  return deepest + 1;
}

}  // namespace

class TMessagePaneTest : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;

  // Shows a body (RTF when it starts so, else HTML) in a pane; the pane stays for the
  // caller to look at.
  // The block that holds text, and where its first line starts and ends in the 600 px pane.
  static QTextBlock Block(const QTextDocument& doc, const QString& text) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
      if (b.text().trimmed() == text) return b;
    return {};
  }

  void Show(TMessageBrowser& pane, const std::string& source) {
    tb::TnefBuilder b;
    if (source.rfind("{\\rtf", 0) == 0) b.MsgProps(tb::PropBlock().Binary(0x1009, tb::Lzfu(source)));
    else b.MsgProps(tb::PropBlock().Binary(0x1013, source));
    const std::string path = (FDir.path() + QStringLiteral("/body.dat")).toStdString();
    b.WriteTo(path);
    TTNEFReader reader(path, "");
    const TMessageBodyView body = MessageBodyHtml(reader);
    pane.resize(600, 400);
    pane.show();
    pane.ShowBody(body);
    pane.document()->size();  // lays the whole document out
  }

private slots:
  void deeplyNestedTablesAreShown_data() {
    QTest::addColumn<int>("depth");
    for (int depth : {20, 1000, 3000}) QTest::addRow("%d", depth) << depth;
  }

  void deeplyNestedTablesAreShown() {
    QFETCH(int, depth);
    std::string html;
    for (int i = 0; i < depth; ++i) html += "<table><tr><td>";
    html += "deepest";
    for (int i = 0; i < depth; ++i) html += "</td></tr></table>";
    TMessageBrowser pane;
    QElapsedTimer timer;
    timer.start();
    Show(pane, html);
    qInfo("depth %d shown in %lld ms", depth, static_cast<long long>(timer.elapsed()));
    QVERIFY(pane.toPlainText().contains(QStringLiteral("deepest")));
    // Each table is a frame; beyond the bound they are blocks and the nesting stops growing.
    QVERIFY2(FrameDepth(pane.document()->rootFrame()) <= 9,
             qPrintable(QString::number(FrameDepth(pane.document()->rootFrame()))));
  }

  void directionIsPerBlockAndRightAlignmentDrawsRight_data() {
    QTest::addColumn<QString>("body");
    QTest::addRow("rtf") << QStringLiteral(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\rtlpar\\qr {\\b right}\\par"
        "\\pard\\rtlpar start\\par\\pard later\\par}");
    QTest::addRow("html") << QStringLiteral(
        "<p dir=rtl style=\"text-align:right\"><b>right</b></p><div dir=\"RTL\"><p>start</p></div><p>later</p>");
  }

  void directionIsPerBlockAndRightAlignmentDrawsRight() {
    QFETCH(QString, body);
    TMessageBrowser pane;
    Show(pane, body.toStdString());
    const qreal width = pane.document()->textWidth();
    const auto lineOf = [&](const QString& text) {
      const QTextBlock b = Block(*pane.document(), text);
      return b.isValid() && b.layout()->lineCount() > 0 ? b.layout()->lineAt(0).naturalTextRect() : QRectF();
    };
    for (const QString& text : {QStringLiteral("right"), QStringLiteral("start"), QStringLiteral("later")})
      QVERIFY2(Block(*pane.document(), text).isValid(), qPrintable(text + QStringLiteral(" in ") + pane.toPlainText()));
    for (const QString& rtl : {QStringLiteral("right"), QStringLiteral("start")}) {
      QCOMPARE(Block(*pane.document(), rtl).textDirection(), Qt::RightToLeft);
      QVERIFY2(lineOf(rtl).right() > width - 40, qPrintable(rtl + QString::number(lineOf(rtl).x())));
    }
    QCOMPARE(Block(*pane.document(), QStringLiteral("later")).textDirection(), Qt::LeftToRight);
    QVERIFY2(lineOf(QStringLiteral("later")).left() < 40, qPrintable(QString::number(lineOf(QStringLiteral("later")).x())));
  }

  void htmlStartsFromTheBrowserSizes() {
    TMessageBrowser pane;
    Show(pane, "<p>medium</p><p><font size=2>two</font> <font size=\"+1\">plus</font> <font size=7>seven</font>"
               " <font size=2 style=\"font-size:20px\">styled</font></p>");
    QHash<QString, int> pixels;
    for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it)
        pixels[it.fragment().text().trimmed()] = QFontInfo(it.fragment().charFormat().font()).pixelSize();
    const std::pair<const char*, int> expected[] = {{"medium", 16}, {"two", 13}, {"plus", 18}, {"seven", 48}, {"styled", 20}};
    for (const auto& [text, px] : expected) QCOMPARE(pixels.value(QString::fromLatin1(text)), px);
  }

  // Zoom scales what the body gave in place (the document shown stays the same object) and
  // comes back exactly, however often it went up and down; the next body starts zoomed.
  void zoomScalesTheShownBodyInPlace() {
    TMessageBrowser pane;
    Show(pane, "<p>medium</p><p><font size=2>two</font> <font size=7>seven</font>"
               " <span style=\"font-size:20px\">styled</span> <span style=\"font-size:12pt\">points</span></p>");
    const auto sizes = [&pane] {
      QHash<QString, int> pixels;
      for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
          pixels[it.fragment().text().trimmed()] = QFontInfo(it.fragment().charFormat().font()).pixelSize();
      pixels.remove(QString());
      return pixels;
    };
    const QHash<QString, int> before = sizes();
    QTextDocument* const shown = pane.document();
    QSignalSpy changed(&pane, &TMessageBrowser::ZoomChanged);
    pane.SetZoom(200);
    QCOMPARE(pane.document(), shown);
    const QHash<QString, int> doubled = sizes();
    for (auto it = before.begin(); it != before.end(); ++it)
      QVERIFY2(std::abs(doubled.value(it.key()) - 2 * it.value()) <= 1,
               qPrintable(QStringLiteral("%1: %2 -> %3").arg(it.key()).arg(it.value()).arg(doubled.value(it.key()))));
    for (int i = 0; i < 7; ++i) pane.ZoomOut();
    for (int i = 0; i < 3; ++i) pane.ZoomIn();
    pane.ResetZoom();
    QCOMPARE(sizes(), before);
    QCOMPARE(changed.count(), 12);  // each step once; a step to where it is is none
    // Bounded both ways.
    pane.SetZoom(1000);
    QCOMPARE(pane.Zoom(), TMessageBrowser::kMaxZoom);
    pane.ZoomIn();
    QCOMPARE(pane.Zoom(), TMessageBrowser::kMaxZoom);
    for (int i = 0; i < 30; ++i) pane.ZoomOut();
    QCOMPARE(pane.Zoom(), TMessageBrowser::kMinZoom);
    // Ctrl+wheel steps; a plain wheel scrolls and leaves the zoom.
    pane.ResetZoom();
    const QPointF at(10, 10);
    QWheelEvent up(at, pane.mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pane.viewport(), &up);
    QCOMPARE(pane.Zoom(), 110);
    QWheelEvent plain(at, pane.mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pane.viewport(), &plain);
    QCOMPARE(pane.Zoom(), 110);
    // A body shown later is shown at the zoom.
    pane.SetZoom(200);
    Show(pane, "<p><span style=\"font-size:20px\">styled</span></p>");
    QCOMPARE(sizes().value(QStringLiteral("styled")), 40);
  }

  void blankLinesAreOneLineEach_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("lines");
    QTest::addRow("html br block") << QStringLiteral("<div>a</div><div><br></div><div>b</div>") << 3;
    QTest::addRow("html br block, space") << QStringLiteral("<div>a</div><div><br>\r\n</div><div>b</div>") << 3;
    QTest::addRow("html br in text") << QStringLiteral("<div>a<br>b</div>") << 2;
    QTest::addRow("rtf spaces only") << QStringLiteral("{\\rtf1\\ansi a\\par   \\par b\\par}") << 3;
  }

  void blankLinesAreOneLineEach() {
    QFETCH(QString, body);
    QFETCH(int, lines);
    TMessageBrowser pane;
    Show(pane, body.toStdString());
    int shown = 0;
    for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next())
      if (b.layout()->lineCount() > 0 && !(b.text().isEmpty() && b == pane.document()->lastBlock()))
        shown += b.layout()->lineCount();
    QCOMPARE(shown, lines);
  }

  void bodyColourIsKept() {
    TMessageBrowser pane;
    Show(pane, "<html><body bgcolor=\"#ffeecc\" background=\"http://x/y.gif\"><p>a</p></body></html>");
    QCOMPARE(pane.document()->rootFrame()->frameFormat().background().color(), QColor(0xff, 0xee, 0xcc));
  }
  void longBodiesShowTheirStartAtOnceThenTheWhole() {
    std::string html = "<style>p{margin:0}</style><table><tr><td>head table</td></tr></table>";
    for (int i = 0; i < 6000; ++i) html += "<p>paragraph " + std::to_string(i) + " of a long <b>body</b></p>";
    TMessageBrowser pane;
    QSignalSpy shown(&pane, &TMessageBrowser::BodyShown);
    Show(pane, html);
    QVERIFY(!pane.BodyComplete());
    const QString first = pane.toPlainText();
    QVERIFY2(first.trimmed().startsWith(QStringLiteral("head table")), qPrintable(first.left(80)));
    QVERIFY(first.contains(QStringLiteral("paragraph 10 of")) && !first.contains(QStringLiteral("paragraph 5999")));
    QVERIFY(shown.wait(60000));
    QVERIFY(pane.BodyComplete());
    // The whole body, as one import of its HTML gives it, with the HTML size it starts from.
    QTextDocument whole;
    whole.setHtml(QString::fromStdString(html));
    QCOMPARE(pane.toPlainText(), whole.toPlainText());
    QCOMPARE(QFontInfo(pane.document()->lastBlock().charFormat().font()).pixelSize(), 16);
  }

  void anotherBodyDropsTheBuildUnderWay() {
    std::string html;
    for (int i = 0; i < 20000; ++i) html += "<p>old paragraph " + std::to_string(i) + "</p>";
    TMessageBrowser pane;
    Show(pane, html);
    QVERIFY(!pane.BodyComplete());
    Show(pane, "<p>the new body</p>");
    QTRY_VERIFY_WITH_TIMEOUT(pane.BodyComplete(), 60000);
    QTest::qWait(50);
    QCOMPARE(pane.toPlainText().trimmed(), QStringLiteral("the new body"));
  }

  // A body of tables fills the shown document in slices: its first part grows into the whole
  // when the whole starts with it (the same document, the reader's place kept), and another
  // body stops the fill.
  void tablesFillTheShownFirstPartInSlices() {
    QString html;
    for (int i = 0; i < 6000; ++i) {
      html += QStringLiteral("<p>paragraph %1 of a long <b>body</b></p>\n").arg(i);
      if (i % 10 == 0) html += QStringLiteral("<table border=\"1\"><tr><td>cell %1</td></tr></table>\n").arg(i);
    }
    TMessageBrowser pane;
    pane.resize(600, 400);
    pane.show();
    TMessageBodyView body;
    QVERIFY(html.size() > TMessageBrowser::kTwoStepChars);
    body.Html = html.left(html.indexOf(QStringLiteral("<p>paragraph 2000 ")));
    body.Partial = true;
    pane.ShowBody(body);
    const QTextDocument* first = pane.document();
    QVERIFY(!pane.BodyComplete());
    pane.verticalScrollBar()->setValue(40);
    body.Html = html;
    body.Partial = false;
    QSignalSpy shown(&pane, &TMessageBrowser::BodyShown);
    pane.ShowBody(body);
    QVERIFY(pane.document() == first);
    QVERIFY(!pane.BodyComplete());
    QVERIFY(shown.wait(60000));
    QVERIFY(pane.BodyComplete());
    QCOMPARE(pane.verticalScrollBar()->value(), 40);
    QTextDocument whole;
    whole.setHtml(html);
    QCOMPARE(pane.toPlainText(), whole.toPlainText());
    QCOMPARE(pane.document()->rootFrame()->childFrames().size(), whole.rootFrame()->childFrames().size());

    pane.ShowBody(body);
    QVERIFY(!pane.BodyComplete());
    body.Html = QStringLiteral("<table><tr><td>the new body</td></tr></table>");
    pane.ShowBody(body);
    QVERIFY(pane.BodyComplete());
    QTest::qWait(50);
    QCOMPARE(pane.toPlainText().trimmed(), QStringLiteral("the new body"));
  }

  void firstPartsEndAfterABlockOutsideTables_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("atLeast");
    QTest::addColumn<QString>("head");
    QTest::addColumn<int>("slack");
    QTest::addRow("short") << "<p>a</p>" << 100 << "<p>a</p>" << 1000;
    QTest::addRow("after the block") << "<p>aaaa</p><p>b</p>" << 4 << "<p>aaaa</p>" << 1000;
    QTest::addRow("outside tables") << "<table><tr><td><p>x</p></td></tr></table><p>y</p>" << 3
                                    << "<table><tr><td><p>x</p></td></tr></table>" << 1000;
    QTest::addRow("br outside tables") << "<div>aaaa<br>b<br>c</div>" << 4 << "<div>aaaa<br>" << 1000;
    QTest::addRow("quoted >") << "<p title=\"a></p>\">aa</p><p>b</p>" << 4 << "<p title=\"a></p>\">aa</p>" << 1000;
    QTest::addRow("style is not markup") << "<style>p{}</p></style><p>b</p><p>c</p>" << 2
                                         << "<style>p{}</p></style><p>b</p>" << 1000;
    QTest::addRow("one long table") << "<table><tr><td>1</td></tr><tr><td>2</td></tr><tr><td>3</td></tr></table>" << 10
                                    << "<table><tr><td>1</td></tr><tr><td>2</td>" << 20;
    QTest::addRow("unclosed tag") << "<p>aaaa<b class=\"x" << 3 << "<p>aaaa<b class=\"x" << 1000;
  }
  void firstPartsEndAfterABlockOutsideTables() {
    QFETCH(QString, html);
    QFETCH(int, atLeast);
    QFETCH(QString, head);
    QFETCH(int, slack);
    QCOMPARE(html.left(BodyHeadLength(html, atLeast, slack)), head);
  }
  void aBodyTooLongIsCutWithANotice() {
    std::string text;
    text.reserve(std::size_t(kMaxBodyHtmlChars) * 2);
    // Characters of four bytes (two UTF-16 units each): the cut counts units, not bytes.
    // Each line makes more than 24 units of HTML, its break included.
    for (qsizetype units = 0; units < kMaxBodyHtmlChars + 2 * 1024 * 1024; units += 24)
      text += "a line \xf0\x9f\x98\x80 of the body\n";
    text += "the very end\n";
    tb::TnefBuilder b;
    b.CodePage(65001).MsgProps(tb::PropBlock().String8(0x1000, text));
    const std::string path = (FDir.path() + QStringLiteral("/long.dat")).toStdString();
    b.WriteTo(path);
    TTNEFReader reader(path, "");
    const TMessageBodyView view = MessageBodyHtml(reader);
    QVERIFY(view.Truncated);
    QVERIFY(view.Html.size() <= kMaxBodyHtmlChars + 1024);
    QVERIFY(view.Html.left(300).contains(QStringLiteral("too long to be shown whole")));
    QVERIFY(!view.Html.contains(QStringLiteral("the very end")));
    QVERIFY(view.Html.endsWith(QStringLiteral("<br>")));
    QVERIFY(!view.Html.contains(QChar(0xFFFD)));
    QVERIFY(view.Html.size() > kMaxBodyHtmlChars);
    // The kept part is not held in a string with room for the whole (it is about 64 MB).
    QVERIFY(view.Html.capacity() - view.Html.size() < 1024);
  }
};

QTEST_MAIN(TMessagePaneTest)
#include "MessagePaneTest.moc"
