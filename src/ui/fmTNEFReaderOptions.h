#pragma once
// TfrmTNEFReaderOptions: the modal "Options" dialog. It shows whether .dat files open with
// the program, the user-interface language and (behind "Advanced >>") the path of the mail
// library. It reads the options once when it is created and stores them only when it
// closes with OK; what it stores goes straight to the registry through a fresh options
// object.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TfrmTNEFReaderOptions;
}
class QFileDialog;
class QLabel;

class TfrmTNEFReaderOptions : public QDialog {
  Q_OBJECT
public:
  // Stands in for a modal loop (tests answer through it); returns the loop's result.
  using TDialogRunner = std::function<int(TfrmTNEFReaderOptions& dialog)>;
  using TFileDialogRunner = std::function<int(QFileDialog& dialog)>;

  // Creates the dialog over owner and fills it from the options (FormCreate). A failure to
  // read the options is shown in the standard error box; the dialog is usable all the same.
  explicit TfrmTNEFReaderOptions(QWidget* owner = nullptr);
  ~TfrmTNEFReaderOptions() override;

  // Shows the dialog modally; QDialog::Accepted when it closed with OK.
  int RunModal();

  // The dialog's controls, for the code that shows it and for tests.
  Ui::TfrmTNEFReaderOptions& Form() const { return *ui; }
  QFileDialog& opdMapi32() const { return *FOpenDialog; }

  void btnAdvancedClick();
  // The first start's one-line welcome above the options, saying why the dialog appears.
  void ShowFirstRunNote();
  void btnMapi32PathClick();

  // The dialog's height with the advanced section shown, and without it.
  int ExpandedHeight() const;
  int CollapsedHeight() const;

  static void SetModalRunner(TDialogRunner runner);
  static void SetFileDialogRunner(TFileDialogRunner runner);

  // Closing with Accepted stores the controls first (FormCloseQuery); when storing fails the
  // error is shown and the dialog stays open with no result.
  void done(int result) override;

protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void FormCreate();
  void LoadFromOptions();
  void FormCloseQuery();
  void FillLanguages();
  void SetClientHeight(int height);
  void FitLabels();

  std::unique_ptr<Ui::TfrmTNEFReaderOptions> ui;
  QFileDialog* FOpenDialog = nullptr;
  QLabel* FFirstRunNote = nullptr;
  // The library path the dialog opened with; only a path the user changed is stored.
  QString FShownMapi32Path;
};
