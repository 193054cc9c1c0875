// The cursor-built document of a body of runs against the text engine's own import of the
// same HTML: same text, same block formats, same format for every character.

#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

#include "BodyImport.h"
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
    if (a.blockFormat() != b.blockFormat()) return where + QStringLiteral("block format");
    if (a.charFormat() != b.charFormat()) return where + QStringLiteral("block's character format");
    // Per character: the engine may keep two equal neighbours as two fragments.
    const auto formats = [](const QTextBlock& block) {
      QList<QTextCharFormat> out;
      for (auto it = block.begin(); !it.atEnd(); ++it)
        for (int i = 0; i < it.fragment().length(); ++i) out.append(it.fragment().charFormat());
      return out;
    };
    const QList<QTextCharFormat> fa = formats(a), fb = formats(b);
    for (qsizetype i = 0; i < fa.size(); ++i)
      if (fa[i] != fb[i]) return where + QStringLiteral("format at %1 (%2)").arg(i).arg(a.text().mid(i, 8));
  }
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
