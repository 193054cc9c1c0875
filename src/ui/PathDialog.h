#pragma once
// TPathDialog: lets the user choose a folder, starting at a given one. A non-visual
// component: the folder dialog exists only while Execute runs.
//
// The platform's browse-for-folder dialog here is QFileDialog in directory mode (Qt's own
// widget dialog, so that its signals give the shown and selection-changed callbacks and
// the status line can be placed in it).

#include <QObject>
#include <QString>
#include <functional>

class QFileDialog;
class QLabel;

enum class TRootItem {
  riMyComputer,  // the file-system root
  riDesktop,     // the user's desktop folder
};

class TPathDialog : public QObject {
  Q_OBJECT
public:
  using TNotifyEvent = std::function<void(TPathDialog* sender)>;
  using TSelectEvent = std::function<void(TPathDialog* sender, const QString& path)>;
  // Stands in for the dialog's modal loop (tests answer through it); returns the dialog's
  // result. The default runs exec().
  using TModalRunner = std::function<int(QFileDialog& dialog)>;

  explicit TPathDialog(QObject* owner = nullptr);
  ~TPathDialog() override;

  // Shows the dialog modally. True when the user chose a folder, which is then in
  // Directory exactly as chosen ("/" stays "/"); false on cancel or when the root folder
  // does not exist. Either way Directory has had the setter's normalisation at the start.
  bool Execute();

  const QString& Title() const { return FTitle; }
  void SetTitle(const QString& value) { FTitle = value; }
  const QString& Directory() const { return FDirectory; }
  // One trailing "/" goes (the root itself stays "/"); empty means the current directory.
  // While the dialog is open it also moves the dialog there.
  void SetDirectory(const QString& value);
  bool ShowStatus() const { return FShowStatus; }
  void SetShowStatus(bool value) { FShowStatus = value; }
  const QString& StatusText() const { return FStatusText; }
  // While the dialog is open with a status line, also shows the text there.
  void SetStatusText(const QString& value);
  TRootItem RootItem() const { return FRootItem; }
  void SetRootItem(TRootItem value) { FRootItem = value; }
  // The folder RootItem stands for.
  QString RootPath() const;

  TNotifyEvent OnShow;
  TSelectEvent OnSelect;

  // The open dialog while Execute runs, else nullptr.
  QFileDialog* DialogHandle() const { return FDialog; }
  QLabel* StatusLine() const { return FStatusLine; }

  static void SetModalRunner(TModalRunner runner);
  // Stands in for the plain message box that shows an event's failure (tests record it).
  using TMessageRunner = std::function<void(QWidget* parent, const QString& text)>;
  static void SetMessageRunner(TMessageRunner runner);

private:
  void Initialized();
  void SelectionChanged(const QString& path);
  void DirectoryEntered(const QString& path);
  bool InsideRoot(const QString& path) const;
  // Events never leave the dialog: the general exception is shown, anything else dropped.
  template <class F>
  void RunEvent(F&& event);

  QFileDialog* FDialog = nullptr;  // set only while Execute runs
  QLabel* FStatusLine = nullptr;
  QString FTitle;
  QString FDirectory;
  bool FShowStatus = false;
  QString FStatusText;
  TRootItem FRootItem = TRootItem::riMyComputer;
};
