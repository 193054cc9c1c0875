// The cursor-built document of a body of runs against the text engine's own import of the
// same HTML: same text, same block formats, same format for every character.

#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QTextLayout>
#include <QtTest>

#include "../../bench/BenchBodies.h"
#include "BodyImport.h"
#include "ConversionStop.h"
#include "MessageBody.h"
#include "RtfToHtml.h"

namespace {

// The first difference between two documents, or an empty string.
QString Difference(const QTextDocument& ours, const QTextDocument& engine) {
  if (ours.blockCount() != engine.blockCount())
    return QStringLiteral("blocks %1 / %2").arg(ours.blockCount()).arg(engine.blockCount());
  for (QTextBlock a = ours.begin(), b = engine.begin(); a.isValid(); a = a.next(), b = b.next()) {
    const QString where = QStringLiteral("block %1: ").arg(a.blockNumber());
    if (a.text() != b.text()) return where + QStringLiteral("[%1] / [%2]").arg(a.text(), b.text());
    // Which list, table or picture object a format refers to is a number of its document's
    // own; the objects themselves are compared apart (lists here, tables by FrameDifference).
    const auto plain = [](QTextCharFormat format) {
      format.clearProperty(QTextFormat::ObjectIndex);
      return format;
    };
    QTextBlockFormat blockA = a.blockFormat(), blockB = b.blockFormat();
    blockA.clearProperty(QTextFormat::ObjectIndex);
    blockB.clearProperty(QTextFormat::ObjectIndex);
    if (blockA != blockB) return where + QStringLiteral("block format");
    if (plain(a.charFormat()) != plain(b.charFormat())) return where + QStringLiteral("block's character format");
    const auto list = [](const QTextBlock& block) {
      const QTextList* l = block.textList();
      return l == nullptr ? QString() : QStringLiteral("%1/%2/%3").arg(l->format().style()).arg(l->format().indent()).arg(l->itemText(block));
    };
    if (list(a) != list(b)) return where + QStringLiteral("list item %1 / %2").arg(list(a), list(b));
    // Per character: the engine may keep two equal neighbours as two fragments.
    const auto formats = [&plain](const QTextBlock& block) {
      QList<QTextCharFormat> out;
      for (auto it = block.begin(); !it.atEnd(); ++it)
        for (int i = 0; i < it.fragment().length(); ++i) out.append(plain(it.fragment().charFormat()));
      return out;
    };
    const QList<QTextCharFormat> fa = formats(a), fb = formats(b);
    for (qsizetype i = 0; i < fa.size(); ++i)
      if (fa[i] != fb[i]) return where + QStringLiteral("format at %1 (%2)").arg(i).arg(a.text().mid(i, 8));
  }
  return {};
}

// The frames (tables) of a document in order, with their formats, as text to compare.
void ListFrames(const QTextFrame* frame, QStringList& out) {
  const QTextFrameFormat f = frame->frameFormat();
  QString line = QStringLiteral("frame %1..%2 border %3 padding %4 bg %5")
                     .arg(frame->firstPosition())
                     .arg(frame->lastPosition())
                     .arg(f.border())
                     .arg(f.padding())
                     .arg(f.background().color().name());
  if (const auto* table = qobject_cast<const QTextTable*>(frame)) {
    line += QStringLiteral(" table %1x%2 cellpadding %3").arg(table->rows()).arg(table->columns()).arg(table->format().cellPadding());
    for (int r = 0; r < table->rows(); ++r)
      for (int c = 0; c < table->columns(); ++c)
        line += QStringLiteral(" [%1]").arg(table->cellAt(r, c).format().background().color().name());
  }
  out << line;
  for (const QTextFrame* child : frame->childFrames()) ListFrames(child, out);
}

QString FrameDifference(const QTextDocument& ours, const QTextDocument& engine) {
  QStringList a, b;
  ListFrames(ours.rootFrame(), a);
  ListFrames(engine.rootFrame(), b);
  for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i)
    if (a.value(i) != b.value(i)) return a.value(i) + " / " + b.value(i);
  return {};
}

}  // namespace

class TBodyImportTest : public QObject {
  Q_OBJECT

private slots:
  void runsLookAsTheEngineImportsThem_data() {
    QTest::addColumn<QString>("html");
    const QString p = QStringLiteral("<p style=\"margin-top:0px;margin-bottom:0px;\">");
    const QString page = QStringLiteral("<div style=\"font-family:'Arial';font-size:12pt\">\n");
    QTest::addRow("paragraphs") << page + p + "a <span style=\"font-weight:bold;\">1</span> b</p>\n" + p + "c</p>\n</div>\n";
    QTest::addRow("spaces") << page + p + " lead&nbsp; two   three </p>\n" + p + "&nbsp;</p>\n" + p + "x</p>\n</div>\n";
    QTest::addRow("tab and break")
        << page + p + "<span style=\"font-style:italic;\">a<span style=\"white-space:pre\">\t</span> b<br> c</span></p>\n</div>\n";
    QTest::addRow("direction and alignment")
        << page + "<p dir=\"rtl\" align=\"right\" style=\"margin-left:48px;text-indent:-24px;\">\u05e9\u05dc\u05d5\u05dd</p>\n"
                  "<p dir=\"ltr\" style=\"text-align:center;\">x</p>\n</div>\n";
    QTest::addRow("links and entities")
        << page + p + "<a href=\"http://example.org/?a=1&amp;b=2\">see &lt;this&gt; &amp; &quot;that&quot;</a> end</p>\n</div>\n";
    QTest::addRow("notice first") << "<p style=\"background-color:#fff4ce;color:#000000\">cut</p>" + page + p + "x</p>\n</div>\n";
    // The engine drops one white-space character between blocks, and makes longer runs a
    // space of the block before, in the enclosing block's format.
    QTest::addRow("space between blocks") << page + p + "a</p>\n\n" + p + "b</p> " + p + "c</p>\r\n" + p + "d</p>\n</div>\n";
    QTest::addRow("first part, open page") << page + p + "a</p>\n" + p + "b</p>";
    // What the converter writes for a real document with runs of every kind.
    const TRtfConversion rtf = RtfToHtml(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "\\f0\\fs20 plain {\\b bold} {\\i\\ul it} {\\f1\\fs28\\cf1 red}\\par  two  spaces\\par\\par"
        "\\qc centred\\tab tab\\line line\\par\\pard\\li720\\fi-360 indented {\\super 2}\\par}");
    QTest::addRow("converted RTF") << QString::fromStdString(rtf.Html);
  }

  void runsLookAsTheEngineImportsThem() {
    QFETCH(QString, html);
    QTextDocument ours, engine;
    QVERIFY(ImportRunsHtml(ours, html));
    engine.setHtml(html);
    const QString difference = Difference(ours, engine);
    QVERIFY2(difference.isEmpty(), qPrintable(difference + "\n" + html));
  }

  // A long body's document built on a worker stops being written once the body is no longer
  // wanted; with the flag unset it is written whole.
  void runsStopOnceUnwanted() {
    const QString html = QString::fromStdString(RtfToHtml(bench::MakeRtf(200 * 1000)).Html);
    std::atomic<bool> unwanted{false};
    QTextDocument whole, stopped;
    QVERIFY(ImportRunsHtml(whole, html, &unwanted));
    QVERIFY(whole.characterCount() > 100000);
    unwanted = true;
    QVERIFY_THROWS_EXCEPTION(TConversionStopped, ImportRunsHtml(stopped, html, &unwanted));
    QVERIFY(stopped.characterCount() < whole.characterCount());
  }

  // Bodies the engine imports, built slice by slice (a cut at every block the slicer may cut
  // at) against the engine's import of the whole.
  void slicesLookAsTheWholeImported_data() {
    QTest::addColumn<QString>("html");
    const QString table = QStringLiteral(
        "<table border=\"1\" cellpadding=\"4\"><tr><td style=\"background:#eeeeee\">item</td><td>3</td></tr></table>");
    QTest::addRow("paragraphs and tables")
        << "<style>p.x{margin:0;font-family:Arial}</style><p class=\"x\">a <b>b</b></p>\n" + table + "\n<p class=\"x\">c</p>\n" +
               table + table + "\n<p>d</p>";
    QTest::addRow("table first and last") << table + "\n<p>a</p>\n" + table;
    QTest::addRow("lists") << "<p>a</p>\n<ul><li>one</li><li>two</li></ul>\n<ol start=\"3\"><li>x</li></ol>\n<p>after</p>";
    QTest::addRow("headings, quotes, pre")
        << "<h1>T</h1>\n<blockquote>q</blockquote>\n<pre>a  b\nc</pre>\n<h3 style=\"color:#ff0000\">u</h3>\n<p>v</p>";
    QTest::addRow("picture") << "<p>a<img src=\"velquin-pict:1\" width=\"10\" height=\"12\"></p>\n<p>b</p>";
    QTest::addRow("open containers")
        << "<div style=\"font-family:Arial;font-size:12pt\"><p>a</p>\n<p>b</p>\n" + table + "\n<p>c</p>\n</div>\n"
           "<font color=\"#ff0000\"><p>d</p>\n<p>e</p></font>\n<blockquote><p>f</p>\n<p>g</p></blockquote>\n<p>h</p>";
    QTest::addRow("page colour and late style")
        << "<body bgcolor=\"#ffffcc\"><p class=\"y\">a</p>\n<p>b</p><style>p.y{color:#00ff00}</style>\n<p class=\"y\">c</p>";
    QTest::addRow("nested tables")
        << "<p>a</p>\n<table><tr><td><table border=\"1\"><tr><td>in</td></tr></table></td><td>x</td></tr></table>\n<p>b</p>";
    QTest::addRow("benchmark's newsletter")
        << QString::fromStdString(HtmlBodyToHtml(bench::MakeHtml(6000), true, 65001).Html);
  }

  void slicesLookAsTheWholeImported() {
    QFETCH(QString, html);
    const QFont base(QStringLiteral("DejaVu Sans"), 11);
    QTextDocument ours, engine;
    ours.setDefaultFont(base);
    engine.setDefaultFont(base);
    TBodySlicer slicer(html, 0);
    int slices = 0;
    while (!slicer.AtEnd()) {
      AppendBodySlice(ours, slicer.Next(1), base, 100, {});
      ++slices;
    }
    engine.setHtml(html);
    QVERIFY(slices > 1);
    QString difference = Difference(ours, engine);
    if (difference.isEmpty()) difference = FrameDifference(ours, engine);
    if (difference.isEmpty() && ours.rootFrame()->frameFormat() != engine.rootFrame()->frameFormat())
      difference = QStringLiteral("page format");
    QVERIFY2(difference.isEmpty(), qPrintable(difference + "\n" + html.left(600)));
  }

  void slicesRepeatNoMoreThanTheyAdd() {
    // Every slice repeats the style sheets and open containers: a body made mostly of them
    // must not cost their size once per block.
    QString html = QStringLiteral("<style>") + QString(20000, u' ') + QStringLiteral("p{margin:0}</style>");
    for (int i = 0; i < 200; ++i) html += QStringLiteral("<div>");
    for (int i = 0; i < 3000; ++i) html += QStringLiteral("<p>%1</p>\n").arg(i);
    TBodySlicer slicer(html, 0);
    qsizetype total = 0;
    int slices = 0;
    while (!slicer.AtEnd()) {
      total += slicer.Next(1).size();
      ++slices;
    }
    QVERIFY(slices > 1);
    QVERIFY2(total <= 3 * html.size(), qPrintable(QString::number(total)));
  }

  void otherHtmlIsLeftToTheEngine_data() {
    QTest::addColumn<QString>("html");
    QTest::addRow("table") << "<p>a</p><table><tr><td>x</td></tr></table>";
    QTest::addRow("picture") << "<p>a<img src=\"x\"></p>";
    QTest::addRow("text outside a paragraph") << "<div>loose</div>";
    QTest::addRow("block in a paragraph") << "<p>a<div>b</div></p>";
    QTest::addRow("crossed tags") << "<p><span>a</p></span>";
    QTest::addRow("unknown entity") << "<p>&hellip;</p>";
    QTest::addRow("page colour") << "<div style=\"background-color:#ffff00\"><p>a</p></div>";
    QTest::addRow("unclosed tag") << "<p>a<span";
    QTest::addRow("unquoted or crossed attributes") << "<p style=color:red>a</p><p title=\"x>y\">b</p>";
    QTest::addRow("control characters") << QString("<p>a") + QChar(2) + "b</p>";
  }

  void otherHtmlIsLeftToTheEngine() {
    QFETCH(QString, html);
    QTextDocument doc;
    QVERIFY(!ImportRunsHtml(doc, html));
    // The pane still shows it, through the engine.
    SetBodyHtml(doc, html);
    QTextDocument engine;
    engine.setHtml(html);
    QCOMPARE(doc.toPlainText(), engine.toPlainText());
  }

  void lightWeightsFindGlyphsForEveryScript() {
    // A light face often lacks scripts its regular face has: the text must still have glyphs.
    const QString hebrew = QStringLiteral("\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd");
    if (QFontDatabase::families(QFontDatabase::Hebrew).isEmpty()) QSKIP("no font with Hebrew here");
    const TRtfConversion body =
        HtmlBodyToHtml("<p style=\"font-family:'DejaVu Sans';font-weight:200\">" + hebrew.toStdString() + "</p>"
                       "<p style=\"font-family:Arial;font-weight:300\">" + hebrew.toStdString() + "</p>",
                       true, 65001);
    QTextDocument doc;
    SetBodyHtml(doc, QString::fromStdString(body.Html));
    int blocks = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
      if (!b.text().contains(QChar(0x05e9))) continue;
      ++blocks;
      QTextLayout layout(b.text(), b.begin().fragment().charFormat().font());
      layout.beginLayout();
      layout.createLine();
      layout.endLayout();
      for (const QGlyphRun& run : layout.glyphRuns())
        for (quint32 glyph : run.glyphIndexes())
          QVERIFY2(glyph != 0, qPrintable(run.rawFont().familyName() + " " + run.rawFont().styleName()));
    }
    QCOMPARE(blocks, 2);
  }
};

QTEST_MAIN(TBodyImportTest)
#include "BodyImportTest.moc"
