// The web pane: page file names, the page's text (escaped, CR LF lines, no outside host),
// links handed to the shell and never followed, page files removed with the pane.

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTextDocument>

#include "UiTestSupport.h"
#include "fraGoogleAd.h"

class TWebPaneTest : public QObject {
  Q_OBJECT
  std::shared_ptr<TRecordingShell> FShell;

private slots:
  void initTestCase() {
    FShell = std::make_shared<TRecordingShell>();
    SetShell(FShell);
  }
  void cleanupTestCase() { SetShell(nullptr); }

  void pageFileNames_data() {
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("file");
    QTest::newRow("marks become spaces") << "Re: Offer? Final." << "Re  Offer  Final.htm";
    QTest::newRow("every mark") << "a!b.c/d:e;f?g\\h" << "a b c d e f g h.htm";
    QTest::newRow("empty") << "" << ".htm";
    QTest::newRow("controls at the ends") << "\t Hello \r\n" << "Hello.htm";
  }
  void pageFileNames() {
    QFETCH(QString, subject);
    QFETCH(QString, file);
    TfraGoogleAd pane;
    const QString path = pane.MakePageFileName(subject);
    QCOMPARE(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1), file);
    // The reader's kind of folder: private to this user.
    QCOMPARE(QFileInfo(QFileInfo(path).path()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
             QFileDevice::Permissions());
  }

  void pageEscapesTheMessageAndLoadsNothingElse() {
    const QByteArray page =
        TfraGoogleAd::PageText("<b>Deal</b> & \"more\"", "line one\n<script>alert(1)</script><img src=http://x/y>");
    QVERIFY(page.startsWith("<HTML>\r\n<head>\r\n<title>&lt;b&gt;Deal&lt;/b&gt; &amp; &quot;more&quot;</title>\r\n"));
    QVERIFY(page.contains("<H1>&lt;b&gt;Deal&lt;/b&gt; &amp; &quot;more&quot;</H1>"));
    QVERIFY(page.contains("<p>line one\r\n&lt;script&gt;alert(1)&lt;/script&gt;&lt;img src=http://x/y&gt;</p>"));
    QVERIFY(page.endsWith("</BODY></HTML>"));
    QVERIFY(!page.contains("src=\"http"));  // no advertising account configured
    QVERIFY(!page.contains('\n') || page.count("\n") == page.count("\r\n"));
  }

  void pageCarriesOnlyTheStartOfALongBody() {
    // The pane's text is the start of what toPlainText gives, however the body is laid out.
    QTextDocument document;
    document.setHtml(QStringLiteral("<p>one&nbsp;two<br>three</p><p>four</p><table><tr><td>a</td><td>b</td></tr></table>"));
    QCOMPARE(TfraGoogleAd::LeadingText(document), document.toPlainText());
    QString longText;
    for (int i = 0; i < 2000; ++i) longText += QStringLiteral("<p>paragraph %1</p>").arg(i);
    document.setHtml(longText);
    const QString leading = TfraGoogleAd::LeadingText(document);
    QCOMPARE(leading.size(), TfraGoogleAd::kPageTextChars);
    QVERIFY(document.toPlainText().startsWith(leading));
    // A cut never splits a character made of two UTF-16 units.
    const QString body = QString(TfraGoogleAd::kPageTextChars - 1, QLatin1Char('x')) + QStringLiteral("\U0001F600 tail");
    const QByteArray page = TfraGoogleAd::PageText("s", body);
    QVERIFY(page.contains(QByteArray(TfraGoogleAd::kPageTextChars - 1, 'x') + "</p>"));
    QVERIFY(!page.contains("tail"));
  }

  void showPageWritesShowsAndCleansUp() {
    QStringList written;
    {
      TfraGoogleAd pane;
      pane.ShowPage("Hello: world", "Body <i>text</i> — é 中文 <a href=\"https://example.org/\">x</a>");
      pane.ShowPage("Second", "two");
      written = pane.PageFiles();
      QCOMPARE(written.size(), 2);
      QVERIFY(QFile::exists(written[0]) && QFile::exists(written[1]));
      const QString shown = pane.WebBrowser1->toPlainText();
      QVERIFY2(shown.contains(QStringLiteral("Second")), qPrintable(shown));
      pane.ShowPage("Hello: world", "Body <i>text</i> — é 中文");
      QVERIFY(pane.WebBrowser1->toPlainText().contains(QStringLiteral("Body <i>text</i> — é 中文")));
      // A subject no file can be named after leaves the page as it was.
      pane.ShowPage(QString(300, QLatin1Char('x')), "too long");
      QVERIFY(pane.WebBrowser1->toPlainText().contains(QStringLiteral("中文")));
    }
    for (const QString& f : written) QVERIFY(!QFile::exists(f));
  }

  void linksGoToTheShell() {
    TfraGoogleAd pane;
    pane.ShowPage("Links", "x");
    const QUrl before = pane.WebBrowser1->source();
    FShell->Requests.clear();
    emit pane.WebBrowser1->anchorClicked(QUrl("https://example.org/offer"));
    QCOMPARE(FShell->Requests, std::vector<std::string>{"https://example.org/offer"});
    QCOMPARE(pane.WebBrowser1->source(), before);
    // Nothing from another host is ever loaded into the pane.
    QVERIFY(!pane.WebBrowser1->loadResource(QTextDocument::ImageResource, QUrl("http://example.org/a.png")).isValid());
  }
};

QTEST_MAIN(TWebPaneTest)
#include "WebPaneTest.moc"
