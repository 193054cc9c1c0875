// The message pane's tools: printing and export as PDF (the file's own message and an
// embedded one shown in place), the find bar with its highlights, keys and bounds, copy of
// the selected body text, and the names and descriptions assistive technology is given.

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include "FindBar.h"
#include "MessageBrowser.h"
#include "MessagePrint.h"
#include "UiTestSupport.h"
#include "fmTNEFReader.h"
#include "ui_fmTNEFReader.h"

using uitest::WriteMessage;

namespace {

constexpr std::uint32_t kRecipTable = 0x00069004;  // attRecipTable

std::string Recipient(std::uint32_t type, const std::string& name, const std::string& address) {
  return tb::PropBlock().String8(0x3001, name).String8(0x39FE, address).Long(0x0C15, type).Bytes();
}

// An outer message carrying an attached one with a To line, stored as writers do.
void WriteNested(const QString& path) {
  tb::TnefBuilder inner;
  inner.Subject("Inner Walrus");
  inner.MsgProps(tb::PropBlock().String8(uitest::kSenderName, "Inner Sender")
                     .Binary(uitest::kRtfCompressed, tb::Lzfu("{\\rtf1\\ansi Inner body text\\par}")));
  inner.Msg(kRecipTable, tb::Le32(1) + Recipient(1, "Ann Example", "ann@x.org"));
  tb::TnefBuilder outer;
  outer.Subject("Outer Heron");
  outer.MsgProps(tb::PropBlock().Binary(uitest::kRtfCompressed, tb::Lzfu("{\\rtf1\\ansi Outer body\\par}")));
  outer.RendData()
      .Title("Untitled Attachment")
      .Data(std::string(89, 'p'))
      .AttProps(tb::PropBlock().Long(0x3705, 5).Counted(0x000D, 0x3701, {std::string(16, '\x11') + inner.Bytes()}));
  outer.WriteTo(path.toStdString());
}

// The text of a PDF through pdftotext; empty when the tool is not installed.
QString PdfText(const QString& pdf) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess p;
  p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
  if (!p.waitForFinished(30000)) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString& pdf) {
  QFile f(pdf);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray bytes = f.readAll();
  if (!bytes.startsWith("%PDF-")) return -1;
  static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
  return static_cast<int>(QString::fromLatin1(bytes).count(page));
}

}  // namespace

class TMessageToolsTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  QString Path(const QString& name) const { return FDir.filePath(name); }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    UseWindowTestEnvironment(FDir);
  }
  void cleanupTestCase() { SetClassesRootProvider(nullptr); }

  void exportsThePdfOfTheMessageShownWithItsHeader() {
    WriteMessage(Path("report.dat"), "Quarterly Zephyr Report", "{\\rtf1\\ansi Body words Quokka\\par}",
                 {{"notes.txt", "NOTES"}}, "Pat Sender");
    TfmVelquinDatReader w;
    TMessagePrint& print = w.MessagePrint();
    QVERIFY(!print.PrintAction().isEnabled());
    w.OpenFile(Path("report.dat"));
    QVERIFY(print.PrintAction().isEnabled());
    QVERIFY(print.ExportPdfAction().isEnabled());
    // The header as the pane shows it, labels without their mnemonics.
    const QList<TPrintHeaderLine> header = print.HeaderLines();
    QCOMPARE(header.at(0).Label, QStringLiteral("Subject"));
    QCOMPARE(header.at(0).Value, QStringLiteral("Quarterly Zephyr Report"));
    QCOMPARE(header.at(1).Value, QStringLiteral("Pat Sender"));

    const QString pdf = Path("report.pdf");
    print.ExportPdf(pdf);
    QVERIFY(PdfPages(pdf) >= 1);
    const QString text = PdfText(pdf);
    if (!text.isEmpty()) {
      QVERIFY2(text.contains(QStringLiteral("Quarterly Zephyr Report")), qPrintable(text));
      QVERIFY(text.contains(QStringLiteral("Pat Sender")));
      QVERIFY(text.contains(QStringLiteral("Body words Quokka")));
    }

    // An attachment shown: nothing to print.
    w.SelectRow(1);
    QVERIFY(!print.PrintAction().isEnabled());
    QVERIFY(!w.FindBar().FindAction().isEnabled());
  }

  void exportsAnEmbeddedMessageShownInPlace() {
    WriteNested(Path("nested.dat"));
    TfmVelquinDatReader w;
    w.OpenFile(Path("nested.dat"));
    w.SelectRow(1);
    QVERIFY(w.MessagePrint().PrintAction().isEnabled());
    const QString pdf = Path("inner.pdf");
    w.MessagePrint().ExportPdf(pdf);
    QVERIFY(PdfPages(pdf) >= 1);
    const QString text = PdfText(pdf);
    if (text.isEmpty()) QSKIP("pdftotext is not installed; the PDF's pages were checked");
    QVERIFY2(text.contains(QStringLiteral("Inner Walrus")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Ann Example")));
    QVERIFY(text.contains(QStringLiteral("Inner body text")));
    QVERIFY(!text.contains(QStringLiteral("Outer body")));
  }

  void aPdfThatCannotBeWrittenIsReported() {
    WriteMessage(Path("plain.dat"), "Plain", "{\\rtf1\\ansi x\\par}");
    TfmVelquinDatReader w;
    w.OpenFile(Path("plain.dat"));
    QVERIFY_THROWS_EXCEPTION(std::exception, w.MessagePrint().ExportPdf(Path("no/such/folder/x.pdf")));
  }

  void labelsLoseTheirMnemonics() {
    QCOMPARE(WithoutMnemonic(QStringLiteral("S&ubject")), QStringLiteral("Subject"));
    QCOMPARE(WithoutMnemonic(QString::fromUtf8("主题(&U)")), QString::fromUtf8("主题"));
    QCOMPARE(WithoutMnemonic(QStringLiteral("Fish && &Chips")), QStringLiteral("Fish & Chips"));
  }

  void findsHighlightsWrapsAndCopies() {
    WriteMessage(Path("find.dat"), "Find", "{\\rtf1\\ansi alpha beta Alpha gamma\\par delta ALPHA\\par}");
    TfmVelquinDatReader w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.OpenFile(Path("find.dat"));
    TFindBar& bar = w.FindBar();
    QVERIFY(bar.isHidden());
    bar.FindAction().trigger();
    QVERIFY(!bar.isHidden());
    QTest::keyClicks(&bar.Field(), QStringLiteral("alpha"));
    bar.Highlight();
    QCOMPARE(bar.HighlightCount(), 3);
    QCOMPARE(w.Form().RichEdit1->extraSelections().size(), 3);

    // Return goes forward, Shift+Return back, both wrapping at the ends.
    auto position = [&w] { return w.Form().RichEdit1->textCursor().selectionStart(); };
    QTest::keyClick(&bar.Field(), Qt::Key_Return);
    const int first = position();
    QCOMPARE(w.Form().RichEdit1->textCursor().selectedText(), QStringLiteral("alpha"));
    QTest::keyClick(&bar.Field(), Qt::Key_Return);
    QTest::keyClick(&bar.Field(), Qt::Key_Return);
    QCOMPARE(w.Form().RichEdit1->textCursor().selectedText(), QStringLiteral("ALPHA"));
    const int last = position();
    QTest::keyClick(&bar.Field(), Qt::Key_Return);
    QCOMPARE(position(), first);
    QTest::keyClick(&bar.Field(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(position(), last);
    // F3 from anywhere in the window, once the bar has a text.
    bar.PreviousAction().trigger();
    QVERIFY(position() < last && position() > first);

    // The selected match copies with Ctrl+C from the body.
    w.Form().RichEdit1->setFocus();
    QTest::keyClick(w.Form().RichEdit1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Alpha"));

    // Nothing found: said, and nothing highlighted.
    bar.Field().setText(QStringLiteral("omega"));
    QVERIFY(!bar.FindNext());
    bar.Highlight();
    QCOMPARE(bar.HighlightCount(), 0);
    QVERIFY(!bar.Status().text().isEmpty());

    // Escape closes the bar and drops the highlights.
    bar.Field().setText(QStringLiteral("beta"));
    bar.Highlight();
    QCOMPARE(bar.HighlightCount(), 1);
    bar.Field().setFocus();
    QTest::keyClick(&bar.Field(), Qt::Key_Escape);
    QVERIFY(bar.isHidden());
    QVERIFY(w.Form().RichEdit1->extraSelections().isEmpty());
  }

  void highlightsAreCappedOnAHugeBody() {
    // 60 000 matches: the highlights stop at the cap and the status says so.
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 60000; ++i) rtf += "ab ";
    rtf += "\\par}";
    WriteMessage(Path("huge.dat"), "Huge", rtf);
    TfmVelquinDatReader w;
    w.OpenFile(Path("huge.dat"));
    QTRY_VERIFY_WITH_TIMEOUT(w.Form().RichEdit1->BodyComplete(), 30000);
    TFindBar& bar = w.FindBar();
    bar.FindAction().trigger();
    bar.Field().setText(QStringLiteral("ab"));
    QElapsedTimer clock;
    clock.start();
    bar.Highlight();
    QCOMPARE(bar.HighlightCount(), TFindBar::kMaxHighlights);
    QVERIFY(bar.Status().text().contains(QString::number(TFindBar::kMaxHighlights)));
    // A miss scans the whole body once.
    bar.Field().setText(QStringLiteral("zz"));
    bar.Highlight();
    QCOMPARE(bar.HighlightCount(), 0);
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
  }

  void everyControlHasANameAndADescription() {
    WriteMessage(Path("a11y.dat"), "Access", "{\\rtf1\\ansi Body\\par}", {{"photo.png", "not a png"}});
    TfmVelquinDatReader w;
    w.OpenFile(Path("a11y.dat"));
    const Ui::TfmVelquinDatReader& f = w.Form();
    QList<QWidget*> controls = {f.lvwFiles, f.RichEdit1, f.edtSubject, f.edtFrom, f.fraGoogleAd1, f.pnlPreview,
                                &w.MessagePrint().PrintButton(), &w.FindBar().Field()};
    for (QToolBar* bar : {f.ToolBar1, f.ToolBar})
      for (QAction* action : bar->actions())
        if (action->isVisible()) controls << bar->widgetForAction(action);
    for (QWidget* control : controls) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
      QVERIFY(a != nullptr);
      QVERIFY2(!a->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
      QVERIFY2(!a->text(QAccessible::Description).isEmpty(), qPrintable(control->objectName()));
    }
    // The web pane's text is the body's start again: not read a second time.
    auto* web = f.fraGoogleAd1->findChild<QTextBrowser*>(QStringLiteral("WebBrowser1"));
    QVERIFY(web != nullptr);
    QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(web);
    QCOMPARE(pane->textInterface(), nullptr);
    QCOMPARE(pane->text(QAccessible::Value), QString());
    // The site link is read once: its engraved shadow is neither shown nor named.
    QAccessibleInterface* shadow = QAccessible::queryAccessibleInterface(f.Label1);
    QVERIFY(shadow->state().invisible);
    QCOMPARE(shadow->text(QAccessible::Name), QString());
    // The preview is an image.
    QCOMPARE(QAccessible::queryAccessibleInterface(f.pnlPreview)->role(), QAccessible::Graphic);
  }
};

QTEST_MAIN(TMessageToolsTest)
#include "MessageToolsTest.moc"
