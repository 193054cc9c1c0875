#include "AttachmentActions.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>

#include "FileCopy.h"
#include "PathDialog.h"
#include "SafeFileName.h"
#include "SaveAllNames.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"
#include "VelquinReaderOptions.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }
QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString FromLocal(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

class TProgressDialog : public ISaveAllProgress {
public:
  TProgressDialog(QWidget* owner, qint64 totalBytes) : FTotal(totalBytes) {
    FDialog = new QProgressDialog(owner);
    FDialog->setObjectName(QStringLiteral("SaveAllProgress"));
    FDialog->setWindowTitle(Res(TStringId::SaveAllProgressTitle));
    FDialog->setCancelButtonText(Res(TStringId::SaveAllProgressCancel));
    FDialog->setWindowModality(Qt::WindowModal);
    FDialog->setMinimumDuration(0);
    FDialog->setAutoClose(false);
    FDialog->setAutoReset(false);
    FDialog->setRange(0, 1000);
  }
  ~TProgressDialog() override { delete FDialog; }
  void Writing(const QString& name, qint64 bytesDone) override {
    FDialog->setLabelText(QString::fromUtf8(FormatRes(TStringId::SaveAllProgressFile, {Arg(name.toStdString())})));
    // setValue on a modal progress dialog also lets the Cancel button be pressed.
    FDialog->setValue(FTotal > 0 ? static_cast<int>(bytesDone * 1000 / FTotal) : 0);
  }
  bool Cancelled() override { return FDialog->wasCanceled(); }

private:
  QProgressDialog* FDialog;
  qint64 FTotal;
};

}  // namespace

TQtAttachmentDialogs::TQtAttachmentDialogs(QWidget* owner, std::function<QFileDialog&()> saveDialog,
                                           std::function<TPathDialog&()> pathDialog)
    : FOwner(owner), FSaveDialog(std::move(saveDialog)), FPathDialog(std::move(pathDialog)) {}

QString TQtAttachmentDialogs::AskSaveFileName(const QString& fileName) {
  QFileDialog& dialog = FSaveDialog();
  // The dialog starts in the folder the previous Save as chose, as Save all does; the
  // settings are only a convenience here, so a store that fails stops nothing.
  try {
    const QString last = FromLocal(TVelquinReaderOptions().LastSaveDirectory());
    if (!last.isEmpty() && QFileInfo(last).isDir()) dialog.setDirectory(last);
  } catch (const ERegistryException&) {
  }
  dialog.selectFile(fileName);
  if (dialog.exec() != QDialog::Accepted) return QString();
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return QString();
  try {
    TVelquinReaderOptions().SetLastSaveDirectory(Local(QFileInfo(files.first()).absolutePath()));
  } catch (const ERegistryException&) {
  }
  return files.first();
}

std::optional<QString> TQtAttachmentDialogs::PickFolder(const QString& directory) {
  TPathDialog& dialog = FPathDialog();
  dialog.SetDirectory(directory);
  if (!dialog.Execute()) return std::nullopt;
  return dialog.Directory();
}

TOverwriteAnswer TQtAttachmentDialogs::AskOverwrite(const QString& question) {
  QMessageBox box(QMessageBox::Question, Res(TStringId::AppTitle), question, QMessageBox::NoButton, FOwner);
  box.setObjectName(QStringLiteral("OverwriteQuestion"));
  // Our own button texts, so the four answers read in the program's language.
  QPushButton* yes = box.addButton(Res(TStringId::AnswerYes), QMessageBox::YesRole);
  QPushButton* no = box.addButton(Res(TStringId::AnswerNo), QMessageBox::NoRole);
  QPushButton* yesToAll = box.addButton(Res(TStringId::AnswerYesToAll), QMessageBox::YesRole);
  QPushButton* noToAll = box.addButton(Res(TStringId::AnswerNoToAll), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  if (box.clickedButton() == yesToAll) return TOverwriteAnswer::YesToAll;
  if (box.clickedButton() == noToAll) return TOverwriteAnswer::NoToAll;
  if (box.clickedButton() == yes) return TOverwriteAnswer::Yes;
  (void)no;
  return TOverwriteAnswer::No;
}

void TQtAttachmentDialogs::ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, Res(TStringId::AppTitle), text, QMessageBox::Ok, FOwner);
  box.exec();
}

std::unique_ptr<ISaveAllProgress> TQtAttachmentDialogs::BeginProgress(qint64 totalBytes, int /*fileCount*/) {
  return std::make_unique<TProgressDialog>(FOwner, totalBytes);
}

void TAttachmentActions::actOpenExecute(TTNEFFile* file) {
  if (file != nullptr) file->ShellOpen();
}

QString TAttachmentActions::MessageTextName(const TTNEFReader& reader) {
  return FromUtf8(MessageTextFileName(reader.BodyKind()));
}

void TAttachmentActions::SaveMessageText(const TTNEFReader& reader, const QString& path) {
  const std::string& body = reader.Body();
  WriteFileBytes(Local(path), body.data(), body.size(), TCreateMode::Replace);
}

void TAttachmentActions::actSaveExecute(TTNEFReader& reader, TTNEFFile* file) {
  const QString name = file != nullptr ? FromUtf8(file->SafeFileName()) : MessageTextName(reader);
  const QString chosen = FDialogs.AskSaveFileName(name);
  if (chosen.isEmpty()) return;
  if (file == nullptr) {
    SaveMessageText(reader, chosen);
    return;
  }
  const QFileInfo target(chosen);
  file->SaveTo(Local(target.absolutePath()), Local(target.fileName()));
}

TSaveAllResult TAttachmentActions::actSaveAllExecute(TTNEFReader& reader) {
  TSaveAllResult result;
  if (reader.Count() < 1) return result;  // the list holds only the message-text row

  std::optional<QString> folder;
  {
    TVelquinReaderOptions options;
    folder = FDialogs.PickFolder(FromLocal(options.LastSaveAllDirectory()));
    if (!folder) return result;
    // Stored before anything is written, so the next Save all starts here even when this
    // one fails half-way. Only a convenience: settings that cannot be saved stop nothing.
    try {
      options.SetLastSaveAllDirectory(Local(*folder));
    } catch (const ERegistryException&) {
    }
  }
  result.Ran = true;
  const std::string directory = Local(*folder);

  // Row 0 is the message text; row i > 0 is attachment i - 1. Names are claimed in list
  // order so that the first of two equal names keeps it.
  const int rows = reader.Count() + 1;
  TSaveAllNames names;
  std::vector<std::string> targets;
  qint64 totalBytes = static_cast<qint64>(reader.Body().size());
  targets.push_back(names.Claim(MessageTextFileName(reader.BodyKind())));
  for (int i = 0; i < reader.Count(); ++i) {
    targets.push_back(names.Claim(reader.Files(i).SafeFileName()));
    totalBytes += reader.Files(i).Size();
  }
  std::unique_ptr<ISaveAllProgress> progress;
  if (totalBytes > kSaveAllProgressThreshold) progress = FDialogs.BeginProgress(totalBytes, rows);

  std::optional<TOverwriteAnswer> lastAnswer;
  qint64 bytesDone = 0;
  for (int row = 0; row < rows; ++row) {
    TTNEFFile* file = row == 0 ? nullptr : &reader.Files(row - 1);
    const qint64 rowBytes = file ? static_cast<qint64>(file->Size()) : static_cast<qint64>(reader.Body().size());
    const std::string& name = targets[static_cast<std::size_t>(row)];
    const std::string target = JoinPath(directory, name);

    if (lastAnswer != TOverwriteAnswer::YesToAll && FileExists(target)) {
      if (lastAnswer == TOverwriteAnswer::NoToAll) {
        bytesDone += rowBytes;
        continue;
      }
      lastAnswer = FDialogs.AskOverwrite(
          QString::fromUtf8(FormatRes(TStringId::OverwriteQuestion, {Arg(name)})));
      if (lastAnswer == TOverwriteAnswer::No || lastAnswer == TOverwriteAnswer::NoToAll) {
        bytesDone += rowBytes;
        continue;
      }
    }

    if (progress) progress->Writing(FromUtf8(name), bytesDone);
    if (file) file->SaveTo(directory, name);
    else SaveMessageText(reader, FromLocal(target));
    ++result.Saved;
    bytesDone += rowBytes;
    if (progress && progress->Cancelled()) {
      result.Cancelled = true;
      break;
    }
  }
  progress.reset();

  if (result.Saved == 1) FDialogs.ShowMessage(Res(TStringId::OneFileSaved));
  else FDialogs.ShowMessage(QString::fromUtf8(FormatRes(TStringId::FilesSaved, {Arg(result.Saved)})));
  return result;
}

QMimeData* AttachmentDragData(TTNEFFile& file) {
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(FromLocal(file.PrepareTempCopy()))});
  return data;
}
