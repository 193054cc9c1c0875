// The main window: rows and actions after an open, the preview, the command line, drops and
// failing opens. Runs offscreen; error boxes are recorded, the shell records its requests.

#include <QBuffer>
#include <QFileDialog>
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <QHeaderView>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include "AttachmentListModel.h"
#include "MessageBrowser.h"
#include "Exception.h"
#include "MimeClassesRootProvider.h"
#include "PreviewArea.h"
#include "QvExtensionManager.h"
#include "TNEFReaderClass.h"
#include "WholeBodyConversion.h"
#include "UiTestSupport.h"
#include "fmTNEFReaderOptions.h"
#include "fmTNEFReader.h"
#include "ui_fmTNEFReader.h"

using uitest::WriteMessage;

namespace {

QByteArray EncodedPicture(int w, int h, const char* format, QColor color = Qt::red) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

std::string Bytes(const QByteArray& a) { return std::string(a.constData(), static_cast<std::size_t>(a.size())); }

const char* const kRtf = "{\\rtf1\\ansi Hello there\\par}";

// An RTF body of about three first parts, each line starting with tag; last is its last line.
std::string LongRtf(const std::string& tag, std::string& last) {
  std::string rtf = "{\\rtf1\\ansi " + tag + " first line\\par\r\n";
  while (rtf.size() < 3 * TMessageBrowser::kFirstPartBytes) {
    last = tag + " line " + std::to_string(rtf.size());
    rtf += last + "\\par\r\n";
  }
  return rtf + "}";
}

tb::PropBlock BodyProps(const std::string& rtf) {
  return tb::PropBlock().String8(uitest::kSenderName, "Sender").Binary(uitest::kRtfCompressed, tb::Lzfu(rtf));
}

// Until no whole-body conversion holds a reader any more and what they handed over was
// delivered (or dropped).
bool ConversionsEnded() {
  QElapsedTimer clock;
  clock.start();
  while (TWholeBodyConversion::Pending() > 0 && clock.elapsed() < 60000) QTest::qWait(5);
  QTest::qWait(20);
  return TWholeBodyConversion::Pending() == 0;
}

int RowNamed(const TfmVelquinDatReader& w, const QString& name) {
  for (int i = 0; i < w.ListModel().Count(); ++i)
    if (w.RowText(i, TAttachmentListModel::ColFilename) == name) return i;
  return -1;
}

}  // namespace

class TMainWindowTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;
  std::shared_ptr<TRecordingShell> FShell;

  QString Path(const QString& name) const { return FDir.filePath(name); }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    // The first show runs the first-run sequence; its options dialog is answered at once.
    UseWindowTestEnvironment(FDir);
    FShell = std::make_shared<TRecordingShell>();
    SetShell(FShell);
  }
  void cleanupTestCase() {
    SetShell(nullptr);
    SetClassesRootProvider(nullptr);
  }

  void startsEmptyWithOnlyTheGeneralActions() {
    TfmVelquinDatReader w;
    auto& f = w.Form();
    QCOMPARE(w.ListModel().Count(), 0);
    QVERIFY(f.pnlMessage->isHidden() && f.lblExternal->isHidden() && f.fraGoogleAd1->isHidden());
    QVERIFY(f.actOpenWinmail->isEnabled() && f.actOptions->isEnabled() && f.actWebsite->isEnabled());
    QVERIFY(!f.actOpen->isEnabled() && !f.actSave->isEnabled() && !f.actSaveAll->isEnabled());
    QCOMPARE(f.actSave->text(), QStringLiteral("&Save as..."));
    QCOMPARE(w.OpenDialog().nameFilters(),
             QStringList({QStringLiteral("Winmail.dat (*.dat *.tnef)"), QStringLiteral("Mail files (*.eml *.mbox)"),
                          QStringLiteral("All files (*)")}));
    QCOMPARE(w.size(), QSize(769, 550));
  }

  // The toolbar's icons are drawn from their SVG files only when shown: each mode must still
  // give its own picture, and a variant the files lack falls back to the normal one.
  void toolbarIconsDrawEachModeFromItsFile() {
    TfmVelquinDatReader w;
    auto& f = w.Form();
    auto opaquePixels = [](const QImage& image) {
      int count = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0;
      return count;
    };
    for (QAction* action : {f.actOpenWinmail, f.actOpen, f.actSave, f.actSaveAll, f.actOptions, f.actWebsite}) {
      const QImage normal = action->icon().pixmap(QSize(24, 24)).toImage();
      const QImage disabled = action->icon().pixmap(QSize(24, 24), QIcon::Disabled).toImage();
      QVERIFY2(opaquePixels(normal) > 24, qPrintable(action->objectName()));
      QVERIFY2(opaquePixels(disabled) > 24, qPrintable(action->objectName()));
      QVERIFY2(normal != disabled, qPrintable(action->objectName()));
      QCOMPARE(action->icon().pixmap(QSize(24, 24), QIcon::Selected).toImage(), normal);
    }
    QVERIFY(opaquePixels(w.windowIcon().pixmap(QSize(48, 48)).toImage()) > 100);
    // Back's arrow comes from the style, asked for only when Back is first drawn.
    auto* back = w.findChild<QAction*>(QStringLiteral("actBack"));
    QVERIFY(back != nullptr);
    QVERIFY(opaquePixels(back->icon().pixmap(QSize(16, 16)).toImage()) > 8);
    QVERIFY(!back->icon().availableSizes().isEmpty());
  }

  void messageWithoutAttachmentsListsOneRow() {
    WriteMessage(Path("plain.dat"), "Quarterly report", kRtf);
    TfmVelquinDatReader w;
    w.OpenFile(Path("plain.dat"));
    auto& f = w.Form();
    QCOMPARE(w.windowTitle(), QStringLiteral("Velquin Reader - Quarterly report"));
    QCOMPARE(w.ListModel().Count(), 1);
    QCOMPARE(w.RowText(0, 0), QStringLiteral("(message text)"));
    QCOMPARE(w.ListModel().Row(0).Bytes, w.Reader()->MessageText().size());
    QVERIFY(!w.RowText(0, 1).isEmpty());  // the MIME database describes .rtf
    QVERIFY(!f.actOpen->isEnabled());
    QVERIFY(f.actSave->isEnabled());
    QVERIFY(!f.actSaveAll->isEnabled());  // one row only
    QVERIFY(!f.pnlMessage->isHidden());
    QCOMPARE(f.edtSubject->text(), QStringLiteral("Quarterly report"));
    QCOMPARE(f.edtFrom->text(), QStringLiteral("Sender Name"));
    QVERIFY(f.RichEdit1->toPlainText().contains(QStringLiteral("Hello there")));
  }

  void messageWithoutBodyShowsSizeZero() {
    WriteMessage(Path("nobody.dat"), "", "");
    TfmVelquinDatReader w;
    w.OpenFile(Path("nobody.dat"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Velquin Reader - "));
    QCOMPARE(w.RowText(0, 2), QStringLiteral("0 B"));
    QVERIFY(w.Form().RichEdit1->toPlainText().isEmpty());
  }

  void htmlBodyStandsInForTheMessageTextRow() {
    const std::string html = "<html><body><p>Hi <b>you</b></p></body></html>";
    tb::TnefBuilder b;
    b.Subject("Html").MsgProps(tb::PropBlock().Binary(uitest::kBodyHtml, html));
    b.WriteTo(Path("html.dat").toStdString());
    TfmVelquinDatReader w;
    w.OpenFile(Path("html.dat"));
    QCOMPARE(w.ListModel().Row(0).Bytes, html.size());
    QCOMPARE(w.RowText(0, 1), w.ExtensionManager().GetExtensionInfo(QStringLiteral(".htm")).Description);
    QCOMPARE(w.Form().RichEdit1->toPlainText().trimmed(), QStringLiteral("Hi you"));
  }

  void picturesInsideTheBodyAreShown() {
    // A PNG and a 2 x 2 DIB (no file header, as RTF keeps bitmaps), both as hex in \pict.
    const QByteArray png = EncodedPicture(3, 3, "PNG", Qt::green);
    std::string dib("\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0", 16);
    dib.resize(40, '\0');
    for (int row = 0; row < 2; ++row) dib += std::string("\0\0\xff\0\0\xff\0\0", 8);  // red, padded
    const std::string rtf = "{\\rtf1\\ansi Pictures:{\\pict\\pngblip\\picw3\\pich3 " +
                            png.toHex().toStdString() + "}{\\pict\\dibitmap0\\picw2\\pich2 " +
                            QByteArray::fromStdString(dib).toHex().toStdString() + "}\\par}";
    WriteMessage(Path("inline.dat"), "Inline", rtf);
    TfmVelquinDatReader w;
    w.OpenFile(Path("inline.dat"));
    TMessageBrowser* view = w.Form().RichEdit1;
    const QImage first = view->loadResource(QTextDocument::ImageResource, QUrl("velquin-pict:0")).value<QImage>();
    const QImage second = view->loadResource(QTextDocument::ImageResource, QUrl("velquin-pict:1")).value<QImage>();
    QCOMPARE(first.pixelColor(1, 1), QColor(Qt::green));
    QCOMPARE(second.pixelColor(0, 0), QColor(Qt::red));
    // Nothing else is loaded on the body's say-so: no local files, nothing remote.
    QVERIFY(!view->loadResource(QTextDocument::ImageResource, QUrl::fromLocalFile(Path("inline.dat"))).isValid());
  }

  void picturesPreviewByLowerCaseExtensionOthersShowTheHint() {
    WriteMessage(Path("pics.dat"), "Pics", kRtf,
                 {{"photo.JPG", Bytes(EncodedPicture(40, 20, "JPG"))}, {"notes.txt", "some notes"}});
    TfmVelquinDatReader w;
    w.OpenFile(Path("pics.dat"));
    auto& f = w.Form();
    QCOMPARE(w.ListModel().Count(), 3);
    QVERIFY(f.actSaveAll->isEnabled());

    w.SelectRow(1);
    QCOMPARE(w.PreviewFile(), &w.Reader()->Files(0));
    QCOMPARE(w.Picture().Width(), 40);
    QVERIFY(f.pnlMessage->isHidden() && f.lblExternal->isHidden());
    QVERIFY(f.actOpen->isEnabled());

    w.SelectRow(2);
    QCOMPARE(w.PreviewFile(), nullptr);
    QVERIFY(!f.lblExternal->isHidden());
    QCOMPARE(f.lblExternal->text(),
             QStringLiteral("Click \"Open\" or double-click the file to open it on an external viewer"));

    // Back on the message row, the hint goes and the message pane covers the area again.
    w.SelectRow(0);
    QVERIFY(f.lblExternal->isHidden() && !f.pnlMessage->isHidden());
    QVERIFY(!f.actOpen->isEnabled());
  }

  void samePictureIsNotReloaded() {
    WriteMessage(Path("one.dat"), "One", kRtf, {{"a.png", Bytes(EncodedPicture(8, 8, "PNG"))}});
    TfmVelquinDatReader w;
    w.OpenFile(Path("one.dat"));
    w.SelectRow(1);
    const qint64 key = w.Picture().Image().cacheKey();
    w.ShowItem(&w.Reader()->Files(0));
    QCOMPARE(w.Picture().Image().cacheKey(), key);
  }

  void undecodablePictureGivesNoPreviewAndANoticeWithoutABox() {
    TErrorBoxRecorder boxes;
    WriteMessage(Path("broken.dat"), "Broken", kRtf, {{"broken.png", "\x89PNG but not really"}});
    TfmVelquinDatReader w;
    w.OpenFile(Path("broken.dat"));
    w.SelectRow(1);
    QCOMPARE(w.PreviewFile(), nullptr);
    QVERIFY(w.Form().pnlMessage->isHidden());
    QVERIFY(boxes.Messages.isEmpty());
    QVERIFY(!w.PictureNotice().isHidden());
    QCOMPARE(w.PictureNotice().text(), QStringLiteral("This picture could not be shown"));
    w.SelectRow(0);
    QVERIFY(w.PictureNotice().isHidden());
  }

  // A damaged file opens with what could be read and a notice that does not block; a sound
  // file opened next takes the notice away, and the notice follows the language.
  void damagedFileOpensWithANoticeThatDoesNotBlock() {
    TErrorBoxRecorder boxes;
    WriteMessage(Path("sound.dat"), "Sound", kRtf, {{"a.txt", "abc"}});
    QFile sound(Path("sound.dat")), damaged(Path("damaged.dat"));
    QVERIFY(sound.open(QIODevice::ReadOnly) && damaged.open(QIODevice::WriteOnly));
    damaged.write(sound.readAll() + "trailing garbage");
    damaged.close();
    TfmVelquinDatReader w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.OpenFile(Path("sound.dat"));
    QVERIFY(w.DamagedNotice() == nullptr || w.DamagedNotice()->isHidden());
    w.OpenFile(Path("damaged.dat"));
    QVERIFY(boxes.Messages.isEmpty());
    QCOMPARE(w.ListModel().Count(), 2);  // what could be read is shown
    QVERIFY(w.DamagedNotice() && w.DamagedNotice()->isVisible());
    QCOMPARE(w.DamagedNotice()->windowModality(), Qt::NonModal);
    QCOMPARE(w.DamagedNotice()->text(), QStringLiteral("This file is damaged; what could be read is shown"));
    w.OpenFile(Path("damaged.dat"));
    QCOMPARE(w.findChildren<QMessageBox*>(QStringLiteral("DamagedNotice")).size(), 1);
    w.OpenFile(Path("sound.dat"));
    QVERIFY(w.DamagedNotice()->isHidden());
  }

  // A long RTF body is decoded whole only after its start is shown: when the decoder then
  // refuses it, the notice comes after the first paint; when it refuses the start already,
  // with the open. The row's size follows the text the pane ends up with.
  void refusedLongBodyBringsTheNoticeOnceDecodedWhole() {
    TErrorBoxRecorder boxes;
    std::string rtf = "{\\rtf1\\ansi First line\\par\r\n";
    std::string last;
    while (rtf.size() < 3 * TMessageBrowser::kFirstPartBytes) {
      last = "Line " + std::to_string(rtf.size());
      rtf += last + "\\par\r\n";
    }
    rtf += "}";
    // Literals only (a control byte, then eight bytes); the group that would write output byte
    // `at` becomes an end marker there instead.
    const auto damagedAt = [&rtf](std::size_t at) {
      std::string value = tb::LzfuLiterals(rtf);
      const std::size_t group = at / 8, w = 207 + group * 8;
      value[16 + group * 9] = '\x01';
      value[16 + group * 9 + 1] = static_cast<char>((w % 4096) >> 4);
      value[16 + group * 9 + 2] = static_cast<char>((w % 4096) << 4);
      tb::TnefBuilder b;
      b.Subject("Long").MsgProps(tb::PropBlock().String8(uitest::kSenderName, "Sender").Binary(uitest::kRtfCompressed, value));
      return b;
    };
    damagedAt(2 * TMessageBrowser::kFirstPartBytes).WriteTo(Path("late-damage.dat").toStdString());
    damagedAt(1000).WriteTo(Path("early-damage.dat").toStdString());
    TfmVelquinDatReader w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.OpenFile(Path("late-damage.dat"));
    QVERIFY(w.Form().RichEdit1->toPlainText().startsWith(QStringLiteral("First line")));
    QCOMPARE(w.ListModel().Row(0).Bytes, rtf.size());  // the header's size, before the decode
    // The notice comes with the whole body, or already with the open when the worker's
    // decode was the quicker.
    QTRY_VERIFY(w.DamagedNotice() && w.DamagedNotice()->isVisible() && !w.WholeBodyPending());
    QCOMPARE(w.Reader()->Damage(), unsigned(kDamageBodyRefused));
    QCOMPARE(w.ListModel().Row(0).Bytes, w.Reader()->MessageText().size());
    QVERIFY(!w.Form().RichEdit1->toPlainText().contains(QStringLiteral("First line")));
    w.DamagedNotice()->hide();
    // Another file opened before the whole was decoded: the late notice is not that file's.
    w.OpenFile(Path("late-damage.dat"));
    WriteMessage(Path("short.dat"), "Short", kRtf);
    w.OpenFile(Path("short.dat"));
    QVERIFY(ConversionsEnded());
    QVERIFY(w.DamagedNotice()->isHidden());

    w.OpenFile(Path("early-damage.dat"));
    QVERIFY(w.DamagedNotice()->isVisible());
    QCOMPARE(w.ListModel().Row(0).Bytes, w.Reader()->MessageText().size());

    // A sound long body: no notice, neither at the open nor once the whole is shown.
    w.DamagedNotice()->hide();
    uitest::WriteMessage(Path("long-sound.dat"), "Long", rtf);
    w.OpenFile(Path("long-sound.dat"));
    QTRY_VERIFY(w.Form().RichEdit1->toPlainText().contains(QString::fromStdString(last)));
    QTest::qWait(50);
    QVERIFY(w.DamagedNotice()->isHidden());
    QCOMPARE(w.ListModel().Row(0).Bytes, rtf.size());
    QVERIFY(boxes.Messages.isEmpty());
  }

  // The whole of a long body is converted off the window's thread: the window answers
  // meanwhile, the whole then takes the first part's place (its pictures too), and a body
  // put in the pane meanwhile is never replaced by a stale one.
  void wholeBodyArrivesFromAWorkerAndStaleOnesAreDropped() {
    std::string ownLast, innerLast;
    const std::string own = LongRtf("Own", ownLast);
    // The picture is referred to past the first part, so it comes with the whole only.
    std::string html = "<html><body>";
    while (html.size() < 3 * TMessageBrowser::kFirstPartBytes) html += "<p>inner html paragraph</p>";
    html += "<img src=\"cid:photo.png@01D2\"></body></html>";
    tb::TnefBuilder longInner, shortInner, outer;
    longInner.Subject("Long inner").MsgProps(tb::PropBlock().Binary(uitest::kBodyHtml, html));
    longInner.Attachment("photo.png", Bytes(EncodedPicture(4, 4, "PNG", Qt::blue)));
    shortInner.Subject("Short inner").MsgProps(BodyProps("{\\rtf1\\ansi Inner body\\par}"));
    outer.Subject("Outer").MsgProps(BodyProps(own));
    outer.Attachment("photo.png", Bytes(EncodedPicture(4, 4, "PNG")));
    uitest::AttachMessage(outer, shortInner.Bytes());
    uitest::AttachMessage(outer, longInner.Bytes());
    outer.WriteTo(Path("two-step.dat").toStdString());
    TErrorBoxRecorder boxes;
    TfmVelquinDatReader w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    TMessageBrowser& pane = *w.Form().RichEdit1;
    const QString ownEnd = QString::fromStdString(ownLast);

    w.OpenFile(Path("two-step.dat"));
    QVERIFY(pane.toPlainText().startsWith(QStringLiteral("Own first line")));
    QVERIFY(w.WholeBodyPending() && !pane.BodyComplete());
    // A timer set after the open fires before the whole body is in: the conversion does not
    // hold the event loop.
    bool partAtTimer = false, fired = false;
    QTimer::singleShot(0, &w, [&] {
      partAtTimer = !pane.toPlainText().contains(ownEnd);
      fired = true;
    });
    QTRY_VERIFY(fired);
    QVERIFY(partAtTimer);
    QTRY_VERIFY_WITH_TIMEOUT(pane.BodyComplete(), 60000);
    QVERIFY(pane.toPlainText().startsWith(QStringLiteral("Own first line")) && pane.toPlainText().contains(ownEnd));
    QVERIFY(!w.WholeBodyPending());

    // Another row selected before the whole arrives: the pane keeps the other row's body.
    const int shortRow = RowNamed(w, QStringLiteral("Short inner")), longRow = RowNamed(w, QStringLiteral("Long inner"));
    QVERIFY(shortRow > 0 && longRow > 0);
    w.OpenFile(Path("two-step.dat"));
    w.SelectRow(shortRow);
    QVERIFY(ConversionsEnded());
    QCOMPARE(pane.toPlainText().trimmed(), QStringLiteral("Inner body"));
    QVERIFY(!w.WholeBodyPending() && pane.BodyComplete());
    // Back on the message row, its body is converted again.
    w.SelectRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(pane.BodyComplete(), 60000);
    QVERIFY(pane.toPlainText().contains(ownEnd));

    // A picture's row hides the pane but leaves the body in it: coming back shows the whole.
    w.OpenFile(Path("two-step.dat"));
    w.SelectRow(RowNamed(w, QStringLiteral("photo.png")));
    QVERIFY(w.PreviewFile() != nullptr);
    QVERIFY(ConversionsEnded());
    w.SelectRow(0);
    QVERIFY(!w.WholeBodyPending());  // delivered while hidden, not converted again
    QTRY_VERIFY_WITH_TIMEOUT(pane.BodyComplete(), 60000);
    QVERIFY(pane.toPlainText().contains(ownEnd));

    // An attached message's long body, its picture from its own attachments; replaced by
    // another attached message while it converts, its reader goes with the window's hold
    // on it only once the conversion is done.
    w.SelectRow(longRow);
    QVERIFY(w.WholeBodyPending());
    QTRY_VERIFY_WITH_TIMEOUT(pane.BodyComplete(), 60000);
    const QImage picture = pane.loadResource(QTextDocument::ImageResource, QUrl("velquin-pict:0")).value<QImage>();
    QCOMPARE(picture.pixelColor(1, 1), QColor(Qt::blue));
    w.SelectRow(shortRow);
    w.SelectRow(longRow);
    w.SelectRow(shortRow);
    QVERIFY(ConversionsEnded());
    QCOMPARE(pane.toPlainText().trimmed(), QStringLiteral("Inner body"));
    QVERIFY(boxes.Messages.isEmpty());
  }

  // Closing the window, or opening another file, while a whole body converts: the result
  // goes nowhere, and the reader (with its temporary copies) goes once the worker is done.
  void closingOrOpeningAnotherFileMidConversionIsSafe() {
    std::string last;
    const std::string rtf = LongRtf("Body", last);
    tb::TnefBuilder inner, outer;
    inner.Subject("Inner").MsgProps(BodyProps(rtf));
    outer.Subject("Outer").MsgProps(BodyProps(rtf));
    outer.Attachment("photo.png", Bytes(EncodedPicture(4, 4, "PNG")));
    uitest::AttachMessage(outer, inner.Bytes());
    outer.WriteTo(Path("closing.dat").toStdString());
    WriteMessage(Path("short.dat"), "Short", kRtf);
    TErrorBoxRecorder boxes;

    // The own body's conversion goes on while a picture's row is shown.
    auto* w = new TfmVelquinDatReader;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->OpenFile(Path("closing.dat"));
    w->SelectRow(RowNamed(*w, QStringLiteral("photo.png")));
    QVERIFY(w->PreviewFile() != nullptr && w->WholeBodyPending());
    const QString copy = QString::fromStdString(w->PreviewFile()->TempFileName());
    QVERIFY(QFileInfo::exists(copy));
    w->close();
    delete w;
    QVERIFY(ConversionsEnded());
    QVERIFY(!QFileInfo::exists(copy));
    // An attached message's: its reader is the window's only until the window goes.
    w = new TfmVelquinDatReader;
    w->OpenFile(Path("closing.dat"));
    w->SelectRow(RowNamed(*w, QStringLiteral("Inner")));
    QVERIFY(w->WholeBodyPending());
    delete w;
    QVERIFY(ConversionsEnded());

    TfmVelquinDatReader other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.OpenFile(Path("closing.dat"));
    QVERIFY(other.WholeBodyPending());
    other.OpenFile(Path("short.dat"));
    QVERIFY(!other.WholeBodyPending());
    QVERIFY(ConversionsEnded());
    QCOMPARE(other.Form().RichEdit1->toPlainText().trimmed(), QStringLiteral("Hello there"));
    QCOMPARE(other.ListModel().Count(), 1);
    QVERIFY(boxes.Messages.isEmpty());
  }

  void sizesShowShortRightAlignedWithTheByteCountAsTooltip() {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 B"}, {999, "999 B"}, {1023, "1,023 B"}, {1024, "1.0 KB"}, {1229, "1.2 KB"}, {15 * 1024, "15 KB"},
        {1023 * 1024, "1.0 MB"}, {1572864, "1.5 MB"}, {3ull << 30, "3.0 GB"}, {5000ull << 30, "5,000 GB"}};
    for (const auto& [bytes, text] : cases) QCOMPARE(HumanSize(bytes), QString::fromLatin1(text));
    WriteMessage(Path("sizes.dat"), "Sizes", kRtf, {{"big.bin", std::string(1229, 'x')}});
    TfmVelquinDatReader w;
    w.OpenFile(Path("sizes.dat"));
    const QModelIndex size = w.ListModel().index(1, TAttachmentListModel::ColSize);
    QCOMPARE(size.data().toString(), QStringLiteral("1.2 KB"));
    QCOMPARE(size.data(Qt::ToolTipRole).toString(), QStringLiteral("1229"));
    QCOMPARE(size.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
  }

  // A header click sorts by its column, the message text stays first, the selected row stays
  // selected, and the next file opened is sorted the same way.
  void theListSortsByEachColumnWithTheMessageRowFirst() {
    WriteMessage(Path("sort.dat"), "Sort", kRtf,
                 {{"b.txt", std::string(300, 'x')}, {"a10.png", "12"}, {"A2.txt", std::string(5000, 'y')}});
    TfmVelquinDatReader w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.OpenFile(Path("sort.dat"));
    const auto names = [&w] {
      QStringList out;
      for (int i = 0; i < w.ListModel().Count(); ++i) out << w.RowText(i, TAttachmentListModel::ColFilename);
      return out;
    };
    const QString message = w.RowText(0, 0);
    QCOMPARE(names(), (QStringList{message, "b.txt", "a10.png", "A2.txt"}));  // the file's order
    w.SelectRow(1);  // b.txt
    auto* header = w.Form().lvwFiles->header();
    QVERIFY(header->sectionsClickable());
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(TAttachmentListModel::ColFilename) + 5, header->height() / 2));
    QCOMPARE(names(), (QStringList{message, "A2.txt", "a10.png", "b.txt"}));  // numbers as numbers, any case
    QCOMPARE(w.PreviewFile(), nullptr);
    QCOMPARE(w.Form().lvwFiles->selectionModel()->selectedRows().first().row(), 3);  // b.txt still selected
    w.Form().lvwFiles->sortByColumn(TAttachmentListModel::ColSize, Qt::DescendingOrder);
    QCOMPARE(names(), (QStringList{message, "A2.txt", "b.txt", "a10.png"}));
    w.Form().lvwFiles->sortByColumn(TAttachmentListModel::ColSize, Qt::AscendingOrder);
    QCOMPARE(names(), (QStringList{message, "a10.png", "b.txt", "A2.txt"}));
    w.OpenFile(Path("sort.dat"));
    QCOMPARE(names(), (QStringList{message, "a10.png", "b.txt", "A2.txt"}));
    QVERIFY(w.ListModel().Row(0).File == nullptr);
  }

  void previewGeometry() {
    QCOMPARE(PreviewDrawRect(QRect(328, 0, 441, 550), QSize(2000, 1000)), QRect(336, 169, 425, 212));
    QCOMPARE(PreviewDrawRect(QRect(328, 0, 441, 550), QSize(100, 50)), QRect(498, 250, 100, 50));
    QVERIFY(PreviewDrawRect(QRect(328, 0, 441, 550), QSize(0, 50)).isEmpty());

    // The window at its design size, with the list panel at its design width (fonts wider
    // than the design's may widen it), puts the preview area where the layout says.
    TfmVelquinDatReader w;
    w.Form().Splitter->setSizes({323, 441});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    TPreviewArea* area = w.Form().pnlPreview;
    const QRect inWindow(area->mapTo(&w, QPoint(0, 0)), area->PreviewRect().size());
    // Down to the site labels, which stay clear of the picture.
    const int labelsTop = std::min(w.Form().lblSite->y(), w.Form().Label1->y());
    QCOMPARE(inWindow, QRect(328, 0, 441, labelsTop));
    QVERIFY(w.Form().lblSite->y() >= 550 - 40);
  }

  // A tall picture is seen whole once the web pane shows: it ends above the pane and the
  // site labels.
  void tallPictureEndsAboveTheWebPaneAndTheLabels() {
    WriteMessage(Path("tall.dat"), "Tall", kRtf, {{"tall.png", Bytes(EncodedPicture(942, 1698, "PNG"))}});
    TfmVelquinDatReader w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.OpenFile(Path("tall.dat"));
    w.SelectRow(1);
    QCoreApplication::processEvents();
    auto& f = w.Form();
    QVERIFY(!f.fraGoogleAd1->isHidden());
    const QRect drawn = f.pnlPreview->PictureRect();
    QVERIFY(!drawn.isEmpty());
    QVERIFY2(drawn.bottom() < f.lblSite->y() && drawn.bottom() < f.pnlPreview->height(),
             qPrintable(QStringLiteral("picture bottom %1, label %2").arg(drawn.bottom()).arg(f.lblSite->y())));
    const int paneTop = f.fraGoogleAd1->mapTo(&w, QPoint(0, 0)).y();
    QVERIFY(f.pnlPreview->mapTo(&w, drawn.bottomLeft()).y() < paneTop);
  }

  void commandLineJoinsArguments() {
    QCOMPARE(TfmVelquinDatReader::CommandLineFileName({QStringLiteral("/tmp/My"), QStringLiteral("Mail/winmail.dat ")}),
             QStringLiteral("/tmp/My Mail/winmail.dat"));
    QDir(FDir.path()).mkdir(QStringLiteral("My Mail"));
    WriteMessage(Path("My Mail/winmail.dat"), "Spaces", kRtf);
    TfmVelquinDatReader w;
    w.OpenCommandLine({Path("My"), QStringLiteral("Mail/winmail.dat")});
    QVERIFY(w.Reader() != nullptr);
    QCOMPARE(w.Form().edtSubject->text(), QStringLiteral("Spaces"));

    // Several files: when the joined name is none, the first is opened.
    WriteMessage(Path("a.dat"), "First of two", kRtf);
    WriteMessage(Path("b.dat"), "Second of two", kRtf);
    TfmVelquinDatReader two;
    two.OpenCommandLine({Path("a.dat"), Path("b.dat")});
    QCOMPARE(two.Form().edtSubject->text(), QStringLiteral("First of two"));

    // Nothing there: said, not an empty window without a word.
    TfmVelquinDatReader empty;
    try {
      empty.OpenCommandLine({Path("no such file.dat")});
      QFAIL("a missing file should be reported");
    } catch (const Exception& e) {
      QCOMPARE(QString::fromUtf8(e.what()),
               QStringLiteral("The file \"%1\" does not exist").arg(Path("no such file.dat")));
    }
    QVERIFY(empty.Reader() == nullptr);
  }

  void dropOpensTheFirstFileThatReadsSilently() {
    TErrorBoxRecorder boxes;
    QFile junk(Path("junk.dat"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a TNEF file");
    junk.close();
    WriteMessage(Path("second.dat"), "Second", kRtf);
    WriteMessage(Path("third.dat"), "Third", kRtf);
    TfmVelquinDatReader w;
    QCOMPARE(w.OpenDroppedFiles({Path("junk.dat"), Path("second.dat"), Path("third.dat")}), 1);
    QCOMPARE(w.Form().edtSubject->text(), QStringLiteral("Second"));
    QVERIFY(boxes.Messages.isEmpty());

    // The same through the window's drop event, names taken in the order dropped.
    TfmVelquinDatReader dropped;
    QVERIFY(!dropped.acceptDrops());
    dropped.show();  // the first show registers the window for drops
    QVERIFY(dropped.acceptDrops());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("junk.dat")), QUrl::fromLocalFile(Path("third.dat")),
                  QUrl::fromLocalFile(Path("second.dat"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dropped, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dropped, &drop);
    QCOMPARE(dropped.Form().edtSubject->text(), QStringLiteral("Third"));
    QVERIFY(boxes.Messages.isEmpty());
  }

  // The caption goes back to the start caption with the rows: naming the earlier message
  // over an empty list would mislead.
  void failingOpenAfterAGoodOneResetsTheCaptionAndDropsTheRows() {
    WriteMessage(Path("good.dat"), "Good one", kRtf, {{"x.txt", "x"}});
    QFile bad(Path("bad.dat"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("garbage garbage");
    bad.close();
    TfmVelquinDatReader w;
    w.OpenFile(Path("good.dat"));
    try {
      w.OpenFile(Path("bad.dat"));
      QFAIL("the open should fail");
    } catch (const Exception& e) {
      const QString text = QString::fromUtf8(e.what());
      QVERIFY2(text.startsWith(QStringLiteral("Error reading file bad.dat . Probably the file was corrupted "
                                              "during the transmition or it is not a valid TNEF file.\r\n\r\nError: ")),
               qPrintable(text));
    }
    QCOMPARE(w.windowTitle(), QStringLiteral("Velquin Reader - the winmail.dat viewer by Velquin"));
    QVERIFY(w.Reader() == nullptr);
    QCOMPARE(w.ListModel().Count(), 0);
    QVERIFY(w.Form().pnlMessage->isHidden());
    QVERIFY(!w.Form().actOpen->isEnabled() && !w.Form().actSave->isEnabled() && !w.Form().actSaveAll->isEnabled());
  }

  void shellOpenWritesTheCopyOnceAndAsksTheShell() {
    WriteMessage(Path("shell.dat"), "Shell", kRtf, {{"report.pdf", "%PDF-1.4 tiny"}});
    TTNEFReader reader(Path("shell.dat").toStdString(), "");
    FShell->Requests.clear();
    TTNEFFile& file = reader.Files(0);
    file.ShellOpen();
    file.ShellOpen();
    QCOMPARE(FShell->Requests.size(), std::size_t(2));
    QCOMPARE(FShell->Requests[0], file.TempFileName());
    QCOMPARE(FShell->Requests[1], file.TempFileName());
    QFile copy(QString::fromStdString(file.TempFileName()));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("%PDF-1.4 tiny"));
  }

  // A small body naming huge pictures costs bounded memory: each picture at most 16
  // megapixels, and no more pictures once 48 megapixels are shown.
  void bodyPicturesAreBoundedEachAndTogether() {
    const QByteArray fits = EncodedPicture(4000, 4000, "PNG");
    const QByteArray tooLarge = EncodedPicture(4001, 4000, "PNG");
    TMessageBrowser browser;
    browser.SetPictures({{"big", {tooLarge, ".png"}}, {"a", {fits, ".png"}}, {"b", {fits, ".png"}},
                         {"c", {fits, ".png"}}, {"d", {fits, ".png"}}});
    QVERIFY(!browser.loadResource(QTextDocument::ImageResource, QUrl("big")).isValid());
    for (const char* name : {"a", "b", "c"})
      QCOMPARE(browser.loadResource(QTextDocument::ImageResource, QUrl(name)).value<QImage>().size(), QSize(4000, 4000));
    QVERIFY(!browser.loadResource(QTextDocument::ImageResource, QUrl("d")).isValid());
    // A new body starts afresh.
    browser.SetPictures({{"a", {fits, ".png"}}});
    QVERIFY(browser.loadResource(QTextDocument::ImageResource, QUrl("a")).isValid());
  }

  void mailLinksReachTheShellWithOnlyAddressSubjectAndBody_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("handed");
    QTest::newRow("attach") << "mailto:x@example.com?attach=/etc/passwd" << "mailto:x@example.com";
    QTest::newRow("mixed") << "MailTo:x@example.com?Subject=Hi%20there&attachment=%2Fetc%2Fshadow&body=a%26b&file=~/.ssh/id_rsa#frag"
                           << "mailto:x@example.com?Subject=Hi%20there&body=a%26b";
    QTest::newRow("plain") << "mailto:x@example.com" << "mailto:x@example.com";
    QTest::newRow("web") << "https://example.org/?attach=1" << "https://example.org/?attach=1";
  }
  void mailLinksReachTheShellWithOnlyAddressSubjectAndBody() {
    QFETCH(QString, link);
    QFETCH(QString, handed);
    TMessageBrowser browser;
    FShell->Requests.clear();
    emit browser.anchorClicked(QUrl(link));
    QCOMPARE(FShell->Requests, std::vector<std::string>{handed.toStdString()});
  }

  void errorBoxTextAndHandlers() {
    QCOMPARE(ErrorBoxText(QStringLiteral("Disk full")), QStringLiteral("Disk full."));
    QCOMPARE(ErrorBoxText(QStringLiteral("Done.")), QStringLiteral("Done."));
    QCOMPARE(ErrorBoxText(QStringLiteral("Really!")), QStringLiteral("Really!"));  // '!' sorts before '.'
    QCOMPARE(ErrorBoxText(QStringLiteral("path/")), QStringLiteral("path/."));     // '/' sorts after
    QCOMPARE(ErrorBoxText(QString()), QString());

    TErrorBoxRecorder boxes;
    RunHandler(nullptr, [] { throw Exception("It broke"); });
    QCOMPARE(boxes.Messages, QStringList{QStringLiteral("It broke.")});
  }
};

QTEST_MAIN(TMainWindowTest)
#include "MainWindowTest.moc"
