#pragma once
// The attachment actions of the main window: open the selected attachment with its
// associated program, save the selected row under a chosen name, save every row into a
// chosen folder. The window hands over its reader and its selection; everything modal
// (file and folder choosers, questions, messages, progress) goes through IAttachmentDialogs,
// so the actions run the same whether a person or a test answers.

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QMimeData;
class QProgressDialog;
class QWidget;
class TPathDialog;
class TTNEFFile;
class TTNEFReader;

// The four answers of Save all's overwrite question.
enum class TOverwriteAnswer { Yes, No, YesToAll, NoToAll };

// Progress of a large Save all.
class ISaveAllProgress {
public:
  virtual ~ISaveAllProgress() = default;
  // Called before each file is written: its name and the bytes written before it.
  virtual void Writing(const QString& name, qint64 bytesDone) = 0;
  // True once the user asked to stop; the file being written is finished first.
  virtual bool Cancelled() = 0;
};

class IAttachmentDialogs {
public:
  virtual ~IAttachmentDialogs() = default;
  // The save dialog, starting with fileName: the chosen path, or empty when cancelled. The
  // dialog itself asks before it replaces an existing file.
  virtual QString AskSaveFileName(const QString& fileName) = 0;
  // The folder picker, starting at directory: the chosen folder, or nothing when cancelled.
  virtual std::optional<QString> PickFolder(const QString& directory) = 0;
  // The overwrite question with its four answers.
  virtual TOverwriteAnswer AskOverwrite(const QString& question) = 0;
  // A box that shows a text (the count of files saved).
  virtual void ShowMessage(const QString& text) = 0;
  // A progress display for a Save all of totalBytes over fileCount files.
  virtual std::unique_ptr<ISaveAllProgress> BeginProgress(qint64 totalBytes, int fileCount) = 0;
};

// The real dialogs: the main window's save dialog, its folder picker, Qt's message boxes
// and a progress dialog, all over owner.
class TQtAttachmentDialogs : public IAttachmentDialogs {
public:
  // The dialogs are asked for when first needed, so that they are made on first use.
  TQtAttachmentDialogs(QWidget* owner, std::function<QFileDialog&()> saveDialog,
                       std::function<TPathDialog&()> pathDialog);
  QString AskSaveFileName(const QString& fileName) override;
  std::optional<QString> PickFolder(const QString& directory) override;
  TOverwriteAnswer AskOverwrite(const QString& question) override;
  void ShowMessage(const QString& text) override;
  std::unique_ptr<ISaveAllProgress> BeginProgress(qint64 totalBytes, int fileCount) override;

private:
  QWidget* FOwner;
  std::function<QFileDialog&()> FSaveDialog;
  std::function<TPathDialog&()> FPathDialog;
};

// What one Save all did, for the caller and for tests.
struct TSaveAllResult {
  bool Ran = false;        // a folder was chosen
  int Saved = 0;           // files written
  bool Cancelled = false;  // stopped by the progress dialog
};

// Save all shows its progress once the bytes to write pass this many.
inline constexpr qint64 kSaveAllProgressThreshold = qint64(32) * 1024 * 1024;

class TAttachmentActions {
public:
  explicit TAttachmentActions(IAttachmentDialogs& dialogs) : FDialogs(dialogs) {}

  // file: the selected row's attachment, nullptr for the message-text row (which does
  // nothing here).
  static void actOpenExecute(TTNEFFile* file);
  // Saves the selected row (file nullptr: the message text) under a name the user picks.
  void actSaveExecute(TTNEFReader& reader, TTNEFFile* file);
  // Saves the message text and every attachment into a folder the user picks. Raises the
  // file system's failure when a file cannot be written; files written before it stay.
  TSaveAllResult actSaveAllExecute(TTNEFReader& reader);

  // Writes the message's body to path byte for byte: the HTML or plain-text body when the
  // message has no RTF one, else MessageText (RTF, or the text saying why it is missing).
  static void SaveMessageText(const TTNEFReader& reader, const QString& path);
  // The message-text row's file name: "Message text.rtf", ".htm" or ".txt".
  static QString MessageTextName(const TTNEFReader& reader);

private:
  IAttachmentDialogs& FDialogs;
};

// Drag data for an attachment dragged out of the list: the URL of its temporary copy,
// made now if needed. Raises when the copy cannot be written.
QMimeData* AttachmentDragData(TTNEFFile& file);
