// Takes the pictures of docs/screenshots: the options dialog in each language (advanced
// section shown) and Save all's overwrite question. Built on demand; run under a display
// (xvfb-run -a), with the output folder as argument.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "AttachmentActions.h"
#include "Languages.h"
#include "ScreenshotSupport.h"
#include "TNEFReaderConst.h"
#include "fmTNEFReaderOptions.h"
#include "ui_fmTNEFReaderOptions.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  // A scratch registry, so the pictures show the defaults and no one's settings change.
  QTemporaryDir scratch;
  UseScratchSettings(scratch);
  // The modules are looked up under this program's own name.
  for (const char* abbreviation : {"FRA", "CHS"}) {
    const QString target = QCoreApplication::applicationFilePath() + "." + abbreviation;
    QFile::remove(target);
    QFile::copy(QStringLiteral(VELQUIN_MODULE_DIR "/velquin-reader.") + abbreviation, target);
  }

  int failures = 0;
  const char* const names[] = {"options-en.png", "options-fr.png", "options-zh_CN.png"};
  for (int row = 0; row < 3; ++row) {
    ApplyLanguage(row);
    TfrmTNEFReaderOptions dialog;
    dialog.Form().cbxLanguage->setCurrentIndex(row);
    dialog.btnAdvancedClick();
    dialog.show();
    if (!Save(&dialog, out + "/" + names[row])) ++failures;
  }

  ApplyLanguage(0);
  QWidget owner;
  owner.resize(600, 400);
  owner.show();
  TQtAttachmentDialogs dialogs(&owner, nullptr, nullptr);
  QTimer::singleShot(300, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (!Save(box, out + "/save-all-question.png")) ++failures;
      box->done(0);
    } else {
      ++failures;
    }
  });
  dialogs.AskOverwrite(QString::fromStdString(FormatRes(TStringId::OverwriteQuestion, {Arg("image001.png")})));

  for (const char* abbreviation : {"FRA", "CHS"})
    QFile::remove(QCoreApplication::applicationFilePath() + "." + abbreviation);
  return failures == 0 ? 0 : 1;
}
