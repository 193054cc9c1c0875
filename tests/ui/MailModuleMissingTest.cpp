// The viewer without its modules: a mail is refused with a message that names the mail
// module and the reason, iCalendar export and printing say the same, bare TNEF files open
// as ever, and a picture is not previewed. Its own program, since a module once loaded stays for the
// process. Runs offscreen.

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTest>

#include <fstream>

#include "Exception.h"
#include "MailBuilder.h"
#include "MailModuleLoader.h"
#include "MessagePrint.h"
#include "Picture.h"
#include "PictureModuleLoader.h"
#include "PrintModuleLoader.h"
#include "TnefBuilder.h"
#include "UiTestSupport.h"
#include "fmTNEFReader.h"
#include "ui_fmTNEFReader.h"

namespace {

void Write(const QString& path, const std::string& bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// The message the window gives for path, "" when it opens.
QString OpenError(TfmVelquinDatReader& window, const QString& path) {
  try {
    window.OpenFile(path);
  } catch (const Exception& e) {
    return QString::fromUtf8(e.what());
  }
  return {};
}

}  // namespace

class TMailModuleMissingTest : public QObject {
  Q_OBJECT
  QTemporaryDir FDir;

  QString Path(const QString& name) const { return FDir.filePath(name); }

private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    UseWindowTestEnvironment(FDir);
    tb::TnefBuilder b;
    b.Subject("Bare stream");
    b.WriteTo(Path("bare.dat").toStdString());
    tb::TnefBuilder inner;
    inner.Subject("In a mail");
    Write(Path("mail.eml"), tb::Mail("a@example.org", "b@example.org", "Mail", "Mon, 13 Nov 2017 08:01:13 -0500",
                                     tb::Multipart("mixed", "b", {tb::TnefPart(inner.Bytes(), "base64", "winmail.dat")})));
  }

  void missingModuleRefusesMailsAndKeepsBareTnef() {
    const QString module = Path("lib/libvelquin-mail-module.so");
    SetMailModulePath(module.toStdString());
    TfmVelquinDatReader w;
    const QString error = OpenError(w, Path("mail.eml"));
    QVERIFY2(error.contains(QStringLiteral("need the mail module ") + module + QStringLiteral(", which could not be loaded")),
             qPrintable(error));
    QVERIFY(w.Reader() == nullptr);
    // Asked again: still refused, not a crash on a half-loaded module.
    QVERIFY(!OpenError(w, Path("mail.eml")).isEmpty());

    QCOMPARE(OpenError(w, Path("bare.dat")), QString());
    QCOMPARE(w.Form().edtSubject->text(), QStringLiteral("Bare stream"));

    TCalendarItem none;
    QVERIFY_THROWS_EXCEPTION(Exception, MailModule().CalendarItemToICalendar(none, "", 0));
  }

  void missingPictureModuleShowsNoPicture() {
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    TPicture picture;
    SetPictureModulePath(Path("lib/libvelquin-picture-module.so").toStdString());
    QVERIFY(!picture.LoadFromMemory(png, QStringLiteral(".png")));
    // Found again: the same bytes show.
    SetPictureModulePath(VELQUIN_PICTURE_MODULE_FILE);
    QVERIFY(picture.LoadFromMemory(png, QStringLiteral(".png")));
  }

  void missingPrintModuleIsSaidAndTheWindowGoesOn() {
    SetPrintModulePath(Path("lib/libvelquin-print-module.so").toStdString());
    TfmVelquinDatReader w;
    QCOMPARE(OpenError(w, Path("bare.dat")), QString());
    try {
      w.MessagePrint().ExportPdf(Path("out.pdf"));
      QFAIL("an export without the print module should be refused");
    } catch (const Exception& e) {
      QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("need the print module")), e.what());
    }
    QVERIFY(!QFile::exists(Path("out.pdf")));
    SetPrintModulePath(VELQUIN_PRINT_MODULE_FILE);
    w.MessagePrint().ExportPdf(Path("out.pdf"));
    QVERIFY(QFileInfo(Path("out.pdf")).size() > 0);
  }

  // Something at the module's place that is not a loadable module, or that others may
  // have changed, is refused the same way and never run.
  void brokenOrUntrustedModuleIsRefused() {
    const QString junk = Path("junk-module.so");
    Write(junk, "not a shared object");
    QFile::setPermissions(junk, QFile::ReadOwner | QFile::WriteOwner);
    SetMailModulePath(junk.toStdString());
    TfmVelquinDatReader w;
    QVERIFY(OpenError(w, Path("mail.eml")).contains(junk));

    QFile::setPermissions(junk, QFile::ReadOwner | QFile::WriteOwner | QFile::WriteOther);
    const QString error = OpenError(w, Path("mail.eml"));
    QVERIFY2(error.contains(QStringLiteral("changed by other users")), qPrintable(error));
    QCOMPARE(OpenError(w, Path("bare.dat")), QString());
  }
};

QTEST_MAIN(TMailModuleMissingTest)
#include "MailModuleMissingTest.moc"
