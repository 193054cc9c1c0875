// The main window over mails: an .eml opens through its winmail.dat with the mail's headers
// and other attachments, a mailbox asks which mail, and the chooser dialog answers.
// Runs offscreen.

#include <QDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <fstream>

#include "AttachmentListModel.h"
#include "MailBuilder.h"
#include "MailChooser.h"
#include "Exception.h"
#include "MailFile.h"
#include "MailModuleLoader.h"
#include "MimeClassesRootProvider.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"
#include "TnefBuilder.h"
#include "UiTestSupport.h"
#include "MessageHeader.h"
#include "fmTNEFReader.h"
#include "fmTNEFReaderOptions.h"
#include "ui_fmTNEFReader.h"

namespace {

// A stream with a subject, a body and one attachment, but no sender, recipients or date.
std::string Tnef(const std::string& subject) {
  tb::TnefBuilder b;
  b.CodePage(1252).Subject(subject).MsgProps(tb::PropBlock().Binary(uitest::kRtfCompressed, tb::Lzfu("{\\rtf1 Mail body}")));
  b.Attachment("inner.txt", "INNER");
  return b.Bytes();
}

std::string MailWithTnef(const std::string& subject, const std::string& from) {
  return tb::Mail(from, "Team <team@example.org>", subject, "Mon, 13 Nov 2017 08:01:13 -0500",
                  tb::Multipart("mixed", "b",
                                {tb::Entity("Content-Type: text/plain\n", "See attached.\n"),
                                 tb::TnefPart(Tnef(subject), "base64", "winmail.dat"),
                                 tb::FilePart("photo.png", "image/png", "PNG-BYTES")}));
}

void Write(const QString& path, const std::string& bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

}  // namespace

class TMailWindowTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  QString Path(const QString& name) const { return FDir.filePath(name); }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    UseWindowTestEnvironment(FDir);
  }
  void cleanupTestCase() { SetClassesRootProvider(nullptr); }

  // The winmail.dat filter lists extension-less files too; the mail filter only mails.
  void openDialogOffersMailFilesAndExtensionlessOnes() {
    const QString folder = Path(QStringLiteral("listing"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
    for (const char* name : {"a.dat", "b.TNEF", "winmail", "notes.txt", "c.eml", "d.mbox"})
      Write(folder + QLatin1Char('/') + QLatin1String(name), "x");
    TfmVelquinDatReader w;
    QFileDialog& dialog = w.OpenDialog();
    QCOMPARE(dialog.nameFilters(),
             QStringList({QStringLiteral("Winmail.dat (*.dat *.tnef)"), QStringLiteral("Mail files (*.eml *.mbox)"),
                          QStringLiteral("All files (*)")}));
    dialog.setDirectory(folder);
    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QVERIFY(list != nullptr);
    const auto shown = [&] {
      QStringList names;
      QAbstractItemModel* model = list->model();
      const QModelIndex root = list->rootIndex();
      for (int i = 0; i < model->rowCount(root); ++i) {
        const QModelIndex index = model->index(i, 0, root);
        names << index.data().toString() + (model->flags(index) & Qt::ItemIsEnabled ? QString() : QStringLiteral("(off)"));
      }
      names.sort();
      return names;
    };
    QTRY_COMPARE(shown(), QStringList({QStringLiteral("a.dat"), QStringLiteral("b.TNEF"), QStringLiteral("sub"),
                                       QStringLiteral("winmail")}));
    auto* filters = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(filters != nullptr);
    filters->setCurrentIndex(1);
    emit filters->activated(1);
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Mail files (*.eml *.mbox)"));
    QTRY_COMPARE(shown(), QStringList({QStringLiteral("c.eml"), QStringLiteral("d.mbox"), QStringLiteral("sub")}));
  }

  // Named like a bare stream on purpose: the content decides.
  void mailShowsItsHeadersAndItsOtherAttachments() {
    Write(Path("saved.dat"), MailWithTnef("Budget", "=?utf-8?q?Ren=C3=A9?= <rene@example.org>"));
    TfmVelquinDatReader w;
    w.OpenFile(Path("saved.dat"));
    QVERIFY(w.Reader() != nullptr);
    auto& f = w.Form();
    QCOMPARE(w.windowTitle(), QStringLiteral("Velquin Reader - Budget"));
    QCOMPARE(w.ListModel().Count(), 3);
    QCOMPARE(w.RowText(1, 0), QStringLiteral("inner.txt"));
    QCOMPARE(w.RowText(2, 0), QStringLiteral("photo.png"));
    QCOMPARE(w.ListModel().Row(2).Bytes, 9u);
    QVERIFY(f.actSaveAll->isEnabled());
    QCOMPARE(f.edtFrom->text(), QStringLiteral("René <rene@example.org>"));
    // The stream names no recipients or date: the mail's own are shown.
    const auto* to = w.findChild<TElidedLabel*>(QStringLiteral("lblToValue"));
    const auto* date = w.findChild<TElidedLabel*>(QStringLiteral("lblDateValue"));
    QVERIFY(to != nullptr && date != nullptr);
    QVERIFY(!to->isHidden() && !date->isHidden());
    QCOMPARE(to->FullText(), QStringLiteral("Team <team@example.org>"));
    QVERIFY2(date->FullText().contains(QStringLiteral("2017")), qPrintable(date->FullText()));
    QVERIFY(f.RichEdit1->toPlainText().contains(QStringLiteral("Mail body")));

    // A bare stream that names no recipients shows no header line.
    tb::TnefBuilder b;
    b.Subject("Bare");
    b.WriteTo(Path("bare.dat").toStdString());
    w.OpenFile(Path("bare.dat"));
    QVERIFY(to->isHidden() && date->isHidden());
  }

  void mailboxAsksWhichMailAndMayBeDeclined() {
    Write(Path("box.mbox"), tb::Mbox({MailWithTnef("First", "one@example.org"),
                                      tb::Mail("two@example.org", "x@example.org", "Plain", "Mon, 13 Nov 2017 08:01:13 -0500",
                                               "Content-Type: text/plain\n\nNo attachment.\n"),
                                      MailWithTnef("Third", "three@example.org")}));
    TfmVelquinDatReader w;
    QStringList offered;
    w.SetMailChooser([&](const TMailFile& mail) {
      for (int i = 0; i < mail.Count(); ++i) offered << QString::fromStdString(mail.Entry(i).Headers.Subject);
      return 1;
    });
    w.OpenFile(Path("box.mbox"));
    QCOMPARE(offered, QStringList({QStringLiteral("First"), QStringLiteral("Third")}));
    QVERIFY(w.Reader() != nullptr);
    QCOMPARE(w.Form().edtFrom->text(), QStringLiteral("three@example.org"));

    w.SetMailChooser([](const TMailFile&) { return -1; });
    w.OpenFile(Path("box.mbox"));
    QVERIFY(w.Reader() == nullptr);
    QCOMPARE(w.ListModel().Count(), 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Velquin Reader - the winmail.dat viewer by Velquin"));
  }

  // A real mail, when the sample folder is there: the mail's sender, the stream's rows.
  void realMailOpensWithItsSender() {
    const std::string dir = CorpusDir();
    const QString path = QString::fromStdString(dir + "/jstedfast-mimekit/rich-text.eml");
    if (dir.empty() || !QFileInfo::exists(path)) QSKIP("no sample folder");
    TfmVelquinDatReader w;
    w.OpenFile(path);
    QCOMPARE(w.Form().edtFrom->text(), QStringLiteral("Jeffrey Stedfast <jestedfa@microsoft.com>"));
    QCOMPARE(w.ListModel().Count(), 4);
    QCOMPARE(w.RowText(1, 0), QStringLiteral("kitten-playing-with-a-christmas-tree.jpg"));
  }

  // The module's failures reach the viewer as the types it raised them with, and its
  // results are whole objects the viewer may keep.
  void loadedModuleRaisesItsOwnTypes() {
    QVERIFY_THROWS_EXCEPTION(EFileError, MailModule().OpenMailFile(Path("none.eml").toStdString()));
    Write(Path("plain.eml"), "Subject: only a head\n\nText.\n");
    const auto plain = MailModule().OpenMailFile(Path("plain.eml").toStdString());
    QCOMPARE(plain->Count(), 0);
    QVERIFY_THROWS_EXCEPTION(EListError, plain->Entry(0));
    TCalendarItem none;
    QVERIFY_THROWS_EXCEPTION(Exception, MailModule().CalendarItemToICalendar(none, "", 0));
  }

  void chooserListsEveryPartAndReturnsTheOneChosen() {
    const auto mail = TMailFile::FromBytes(tb::Mail(
        "a@example.org", "b@example.org", "Two parts", "Mon, 13 Nov 2017 08:01:13 -0500",
        tb::Multipart("mixed", "b", {tb::TnefPart(Tnef("One"), "base64", "winmail.dat"),
                                     tb::TnefPart(Tnef("Two"), "base64", "")})));
    QCOMPARE(mail->Count(), 2);
    QStringList rows;
    const int chosen = ChooseMailEntry(nullptr, *mail, [&](QDialog& dialog) {
      auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("lvwMails"));
      for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0) + QLatin1Char('|') + list->topLevelItem(i)->text(2);
      list->setCurrentItem(list->topLevelItem(1));
      dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(chosen, 1);
    QCOMPARE(rows, QStringList({QStringLiteral("Two parts [winmail.dat]|2017-11-13 08:01:13 -0500"),
                                QStringLiteral("Two parts [2]|2017-11-13 08:01:13 -0500")}));
    QCOMPARE(ChooseMailEntry(nullptr, *mail, [](QDialog& dialog) { dialog.reject(); }), -1);
  }
};

QTEST_MAIN(TMailWindowTest)
#include "MailWindowTest.moc"
