// Takes the main window's pictures of docs/screenshots in English, French and Chinese: the
// window with a message, the warning before opening a program, the About box and the print
// preview. Built on demand; scripts/screenshots.sh runs it under Xvfb with the output folder
// as argument.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "AboutBox.h"
#include "ErrorBox.h"
#include "Languages.h"
#include "ScreenshotSupport.h"
#include "MimeClassesRootProvider.h"
#include "MessagePrint.h"
#include "OpenWarning.h"
#include "TnefBuilder.h"
#include "fmTNEFReader.h"
#include "fmTNEFReaderOptions.h"

namespace {

// A message as a user meets one: a formatted body, a document, a picture and a program.
std::string Sample(const QString& folder) {
  QImage picture(160, 120, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(40 + x, 90 + y, 200 - x / 2));
  const QString png = folder + "/chart.png";
  picture.save(png);
  QFile file(png);
  file.open(QIODevice::ReadOnly);
  const QByteArray pngBytes = file.readAll();
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red31\\green73\\blue125;}"
      "\\f0\\fs20 Hello team,\\par\\par Please find attached the figures for the third quarter. "
      "{\\b Sales grew by 12%} against the same quarter last year; the chart shows the trend by month.\\par\\par"
      "{\\cf1\\b Next steps}\\par - review the budget by Friday\\par - confirm the meeting room\\par\\par "
      "Best regards,\\par Alex Martin\\par}";
  tb::TnefBuilder b;
  b.Subject("Quarterly figures");
  b.MsgProps(tb::PropBlock().String8(0x0C1A, "Alex Martin").Binary(0x1009, tb::Lzfu(rtf)));
  // attDateSent: 2026-10-05 09:30 (year, month, day, hour, minute, second, weekday)
  b.Msg(0x00038005, tb::Le16(2026) + tb::Le16(10) + tb::Le16(5) + tb::Le16(9) + tb::Le16(30) + tb::Le16(0) + tb::Le16(1));
  // attRecipTable: one To recipient (PR_DISPLAY_NAME, PR_EMAIL_ADDRESS, PR_RECIPIENT_TYPE)
  b.Msg(0x00069004, tb::Le32(1) + tb::PropBlock().String8(0x3001, "Sales team").String8(0x39FE, "sales@example.org")
                                        .Long(0x0C15, 1).Bytes());
  b.Attachment("figures-q3.pdf", std::string(48213, 'p'));
  b.Attachment("chart.png", pngBytes.toStdString());
  b.Attachment("setup.exe", "MZ" + std::string(120000, '\0'));
  return b.WriteTo((folder + "/winmail.dat").toStdString());
}

// Grabs the modal dialog that the next call opens, then closes it.
void GrabNextModal(const QString& path, int& failures, int delay = 400) {
  QTimer::singleShot(delay, [path, &failures] {
    QWidget* modal = QApplication::activeModalWidget();
    // The preview's page as wide as the dialog, so that its text can be read.
    if (modal != nullptr)
      if (auto* preview = modal->findChild<QPrintPreviewWidget*>()) {
        preview->fitToWidth();
        QApplication::processEvents();
      }
    if (modal == nullptr || !Save(modal, path)) ++failures;
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  QTemporaryDir scratch;
  UseScratchSettings(scratch);
  // The Type column from the shared MIME database, as the installed viewer has it.
  SetClassesRootProvider(std::make_shared<TMimeClassesRootProvider>());
  // The window takes the output folder for a file to open: that complaint is not shown.
  SetErrorBoxHook([](QWidget*, const QString&) {});
  TfrmTNEFReaderOptions::SetModalRunner([](TfrmTNEFReaderOptions&) { return int(QDialog::Rejected); });
  for (const char* abbreviation : {"FRA", "CHS"}) {
    const QString target = QCoreApplication::applicationFilePath() + "." + abbreviation;
    QFile::remove(target);
    QFile::copy(QStringLiteral(VELQUIN_MODULE_DIR "/velquin-reader.") + abbreviation, target);
  }
  const QString sample = QString::fromStdString(Sample(scratch.path()));

  int failures = 0;
  const char* const suffixes[] = {"en", "fr", "zh_CN"};
  for (int row = 0; row < 3; ++row) {
    const QString suffix = QString::fromLatin1(suffixes[row]);
    TfmVelquinDatReader w;
    w.show();
    QApplication::processEvents();
    ApplyLanguage(row);
    w.OpenFile(sample);
    QApplication::processEvents();
    if (!Save(&w, out + "/main-window-" + suffix + ".png")) ++failures;

    GrabNextModal(out + "/open-warning-" + suffix + ".png", failures);
    ConfirmOpenAttachment(&w, QStringLiteral("setup.exe"), QByteArray("MZ"));

    GrabNextModal(out + "/about-" + suffix + ".png", failures);
    ShowAboutBox(&w);

    GrabNextModal(out + "/print-preview-" + suffix + ".png", failures, 1200);
    w.MessagePrint().actPrintExecute();
  }
  ApplyLanguage(0);
  for (const char* abbreviation : {"FRA", "CHS"})
    QFile::remove(QCoreApplication::applicationFilePath() + "." + abbreviation);
  return failures == 0 ? 0 : 1;
}
