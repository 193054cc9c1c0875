#pragma once
// TfmVelquinDatReader: the main window. It holds one TTNEFReader at a time, lists the
// message text and the attachments in lvwFiles, shows subject, sender and body in the
// message pane, previews picture attachments in the area right of the splitter, opens
// dropped files and the file named on the command line.

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "Picture.h"
#include "WindowKeyboard.h"

namespace Ui {
class TfmVelquinDatReader;
}
class QFileDialog;
class QLabel;
class TMailFile;
class QMenu;
class QMessageBox;
class QModelIndex;
class TMessageHeader;
class TMessagePrint;
class TFindBar;
class TAttachmentListModel;
class TPathDialog;
class TQtAttachmentDialogs;
class TQvExtensionManager;
class TTNEFFile;
class TTNEFReader;
class TVelquinReaderOptions;
class TWholeBodyConversion;

class TfmVelquinDatReader : public QMainWindow {
  Q_OBJECT
public:
  explicit TfmVelquinDatReader(QWidget* parent = nullptr);
  ~TfmVelquinDatReader() override;

  // Loads a TNEF file, or a mail or mailbox through its winmail.dat, into the window (a file
  // with several asks which one, and stays empty when the user declines). Raises the general exception with the read-error
  // message when the file cannot be read; the list is then empty and no reader is held.
  void OpenFile(const QString& fileName);

  // The command-line open: the arguments (without the program's name) joined with single
  // spaces and trimmed name the file, which is opened when it exists; when it does not
  // and the first argument names a file, that one is opened (several files were given).
  // Raises when no file of either name exists.
  static QString CommandLineFileName(const QStringList& arguments);
  void OpenCommandLine(const QStringList& arguments);
  // Shows what the settings stores recorded (a damaged store set aside, settings that
  // cannot be saved) in one box that does not block the window; nothing when there is none.
  void ShowStoreNotices();
  // The drop handler's loop: opens the first of the files that reads as TNEF, silently.
  // Returns the index of the file opened, or -1.
  int OpenDroppedFiles(const QStringList& fileNames);

  // Answers the chooser of a file with several winmail.dat parts instead of asking the
  // user (for tests); empty: the chooser dialog.
  void SetMailChooser(std::function<int(const TMailFile&)> chooser) { FMailChooser = std::move(chooser); }
  // The open dialog's filters: winmail.dat files, mail files, all files.
  static QStringList OpenFilters();

  // The path of the system mail library handed to every reader.
  void SetMapi32Path(const QString& path) { FMapi32Path = path; }
  const QString& Mapi32Path() const { return FMapi32Path; }

  // State, for the start-up code and for tests.
  TTNEFReader* Reader() const { return FReader.get(); }
  TTNEFFile* PreviewFile() const { return FPreviewFile; }
  const TPicture& Picture() const { return FPicture; }
  TAttachmentListModel& ListModel() const { return *FListModel; }
  TQvExtensionManager& ExtensionManager() const { return *QvExtensionManager1; }
  // The dialogs are made on first use: building them (and loading their icons) is most of
  // the window's construction time.
  QFileDialog& OpenDialog();
  QFileDialog& SaveDialog();
  TPathDialog& FolderDialog();
  QMenu& PopupMenu() const { return *FPopupMenu; }
  const TWindowActions& WindowActions() const { return FWindowActions; }
  // The notice shown in the preview area when a picture cannot be decoded.
  QLabel& PictureNotice() const { return *FPictureNotice; }
  // The notice that the file open is damaged and shown as far as it could be read; nullptr
  // until a damaged file was opened.
  QMessageBox* DamagedNotice() const { return FDamagedNotice; }
  Ui::TfmVelquinDatReader& Form() const { return *ui; }
  // Selects list row i (-1: none), as a click would.
  void SelectRow(int i);
  // The message-text row's type and size, and every row's, as the list shows them.
  QString RowText(int row, int column) const;

  // Embedded messages: the list shows the embedded message of file in place of its parent
  // (Back returns). Raises what the reader raises for a damaged message.
  void OpenEmbeddedMessage(TTNEFFile& file);
  void actBackExecute();
  // How many parents are kept behind the message shown (0: the file's own message).
  int NestingDepth() const { return static_cast<int>(FParents.size()); }
  // The message the message pane shows: the reader's own, or the selected embedded one.
  TTNEFReader* ShownMessage() const;
  // True while the whole of a long body shown in part is being converted.
  bool WholeBodyPending() const { return FWholeBody != nullptr; }
  // Writes the shown calendar item as an iCalendar file chosen with the save dialog.
  void actAddToCalendarExecute();
  TMessageHeader& MessageHeader() const { return *FMessageHeader; }
  // Printing and export as PDF, and the find bar, of the message pane.
  TMessagePrint& MessagePrint() const { return *FMessagePrint; }
  TFindBar& FindBar() const { return *FFindBar; }

  void UpdateSelection();
  void ShowItem(TTNEFFile* file);
  void ClearPreview();
  void InvalidatePreview();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void FormShow();
  void actOpenExecute();
  void actSaveExecute();
  void actSaveAllExecute();
  void actOptionsExecute();
  // The attachment of the selected row; nullptr for the message-text row or no selection.
  TTNEFFile* SelectedFile() const;
  bool HasSelection() const;
  // Texts the code sets, again in the current language.
  void RetranslateTexts();
  void FillList();
  void actOpenWinmailExecute();
  void lvwFilesSelectItem();
  void SplitterMoved();
  void ShowMessagePane(const std::shared_ptr<TTNEFReader>& message);
  // The Back and Add to calendar actions and the header rows, made in code.
  void SetupMessageNavigation();
  void UpdateNavigation();
  void SetupToolBars();
  void SetupMessageTools();
  void SetupDialogs();
  void ShowDamagedNotice();
  void ClearList();

  std::unique_ptr<Ui::TfmVelquinDatReader> ui;
  // Declared before FPicture: members go in reverse order, so the picture is released
  // first and the reader (with its temporary copies) last. Readers are shared with the
  // conversion of a long body, which keeps the one it converts until it is done with it.
  std::shared_ptr<TTNEFReader> FReader;
  // The messages around the embedded one shown, outermost first; and the embedded message
  // of the selected row, read for the message pane.
  std::vector<std::shared_ptr<TTNEFReader>> FParents;
  std::vector<int> FParentRows;  // the row to select again on Back
  std::shared_ptr<TTNEFReader> FSelectedMessage;
  // The pane holds the open file's body once shown: coming back to its row shows it again
  // without converting it again.
  bool FBodyInPane = false;
  // Counts the bodies put in the pane (and the files opened), so that late work for an
  // earlier one is dropped.
  unsigned FBodyCount = 0;
  // The body (by FBodyCount) the damaged notice was last shown with.
  unsigned FDamageToldFor = 0;
  // The whole conversion of the long body whose first part the pane shows, while it runs.
  std::unique_ptr<TWholeBodyConversion> FWholeBody;
  TTNEFFile* FPreviewFile = nullptr;
  QString FMapi32Path;
  TPicture FPicture;

  TAttachmentListModel* FListModel = nullptr;
  TQvExtensionManager* QvExtensionManager1 = nullptr;
  QFileDialog* FOpenDialog = nullptr;
  std::function<int(const TMailFile&)> FMailChooser;
  QFileDialog* FSaveDialog = nullptr;
  QMenu* FPopupMenu = nullptr;
  TPathDialog* FPathDialog = nullptr;
  QLabel* FPictureNotice = nullptr;
  QMessageBox* FDamagedNotice = nullptr;
  TWindowActions FWindowActions;
  std::unique_ptr<TQtAttachmentDialogs> FDialogs;
  TMessageHeader* FMessageHeader = nullptr;
  TMessagePrint* FMessagePrint = nullptr;
  TFindBar* FFindBar = nullptr;
  QAction* actBack = nullptr;
  QAction* actAddToCalendar = nullptr;
  bool FShown = false;
  // The options the window was built with, kept until the first show has read its own, so
  // that both reads go through one connection to the store (null when it could not be read).
  std::unique_ptr<TVelquinReaderOptions> FStartOptions;
  int FToolBarWidth = 0;  // the first toolbar's width for its current captions
};
