#include "fmTNEFReaderOptions.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>

#include "ErrorBox.h"
#include "Languages.h"
#include "TNEFReaderConst.h"
#include "VelquinReaderOptions.h"
#include "ui_fmTNEFReaderOptions.h"

namespace {

TfrmTNEFReaderOptions::TDialogRunner& ModalRunner() {
  static TfrmTNEFReaderOptions::TDialogRunner runner;
  return runner;
}

TfrmTNEFReaderOptions::TFileDialogRunner& FileDialogRunner() {
  static TfrmTNEFReaderOptions::TFileDialogRunner runner;
  return runner;
}

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }

// The button panel's height; it keeps it when the dialog grows or shrinks.
constexpr int kPanelHeight = 41;
// Space below the last control of a section down to the dialog's bottom edge.
constexpr int kBottomSpace = 56;

}  // namespace

TfrmTNEFReaderOptions::TfrmTNEFReaderOptions(QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TfrmTNEFReaderOptions>()) {
  ui->setupUi(this);
  // A fixed dialog border: no resizing, no minimize or maximize, no help button.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  SetClientHeight(185);
  ui->Panel1->raise();
  FitLabels();

  FOpenDialog = new QFileDialog(this);
  FOpenDialog->setObjectName(QStringLiteral("opdMapi32"));
  FOpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
  FOpenDialog->setFileMode(QFileDialog::ExistingFile);
  FOpenDialog->setDefaultSuffix(QStringLiteral("dll"));
  // One entry whose description and pattern are both "Mapi32.dll"; the second lets the
  // user reach a Linux mail library, which is never called Mapi32.dll.
  FOpenDialog->setNameFilters({QStringLiteral("Mapi32.dll (Mapi32.dll)"), Res(TStringId::MailLibraryFilter)});

  connect(ui->Button2, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui->Button1, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui->btnAdvanced, &QPushButton::clicked, this, [this] { btnAdvancedClick(); });
  connect(ui->btnMapi32Path, &QPushButton::clicked, this, [this] { RunHandler(this, [this] { btnMapi32PathClick(); }); });

  FormCreate();
}

TfrmTNEFReaderOptions::~TfrmTNEFReaderOptions() = default;

void TfrmTNEFReaderOptions::SetModalRunner(TDialogRunner runner) { ModalRunner() = std::move(runner); }
void TfrmTNEFReaderOptions::SetFileDialogRunner(TFileDialogRunner runner) { FileDialogRunner() = std::move(runner); }

int TfrmTNEFReaderOptions::RunModal() {
  if (ModalRunner()) return ModalRunner()(*this);
  return exec();
}

void TfrmTNEFReaderOptions::FormCreate() {
  try {
    LoadFromOptions();
  } catch (const std::exception& e) {
    ShowErrorBox(this, FailureMessage(e));
  }
}

void TfrmTNEFReaderOptions::LoadFromOptions() {
  TVelquinReaderOptions options;
  ui->chkAssociateDatFile->setChecked(options.AssociateDatFiles());
  FillLanguages();
  const int stored = options.Language();
  const int found = ui->cbxLanguage->findData(stored);
  ui->cbxLanguage->setCurrentIndex(found >= 0 ? found : 0);
  // The library in use is shown; it is stored only if the user changes it.
  FShownMapi32Path = QString::fromStdString(options.EffectiveMapi32Path());
  ui->edtMapi32Path->setText(FShownMapi32Path);
}

void TfrmTNEFReaderOptions::FillLanguages() {
  // Each language in its own name: a user who cannot read the current language still
  // finds theirs ("Français", not "Anglais" beside "Chinois").
  ui->cbxLanguage->clear();
  for (std::size_t i = 0; i < kLanguages.size(); ++i)
    ui->cbxLanguage->addItem(QString::fromUtf8(kLanguages[i].OwnName), static_cast<int>(i));
}

void TfrmTNEFReaderOptions::ShowFirstRunNote() {
  if (FFirstRunNote != nullptr) return;
  FFirstRunNote = new QLabel(this);
  FFirstRunNote->setObjectName(QStringLiteral("lblFirstRun"));
  FFirstRunNote->setWordWrap(true);
  FFirstRunNote->setText(Res(TStringId::FirstRunNote));
  const int noteWidth = 401 - 2 * 24;
  const int noteHeight = FFirstRunNote->heightForWidth(noteWidth);
  // The note goes above the first heading; everything but the button panel moves down.
  const int shift = noteHeight + 8;
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (child != ui->Panel1 && child != FFirstRunNote) child->move(child->x(), child->y() + shift);
  FFirstRunNote->setGeometry(24, 12, noteWidth, noteHeight);
  FFirstRunNote->show();
  SetClientHeight(height() + shift);
}

void TfrmTNEFReaderOptions::done(int result) {
  if (result == QDialog::Accepted) {
    try {
      FormCloseQuery();
    } catch (const std::exception& e) {
      // The closing ends here: the dialog stays open without a result, and OK may be
      // pressed again.
      setResult(0);
      ShowErrorBox(this, FailureMessage(e));
      return;
    }
  }
  QDialog::done(result);
}

void TfrmTNEFReaderOptions::FormCloseQuery() {
  TVelquinReaderOptions options;
  options.SetAssociateDatFiles(ui->chkAssociateDatFile->isChecked());
  if (ui->edtMapi32Path->text() != FShownMapi32Path)
    options.SetMapi32Path(ui->edtMapi32Path->text().toStdString());
  options.ApplyDatAssociation();
  if (ui->cbxLanguage->currentIndex() >= 0)
    options.SetLanguage(static_cast<std::uint8_t>(ui->cbxLanguage->currentIndex()));
}

int TfrmTNEFReaderOptions::ExpandedHeight() const {
  return ui->edtMapi32Path->y() + ui->edtMapi32Path->height() + kBottomSpace;
}

int TfrmTNEFReaderOptions::CollapsedHeight() const {
  return ui->cbxLanguage->y() + ui->cbxLanguage->height() + kBottomSpace;
}

void TfrmTNEFReaderOptions::btnAdvancedClick() {
  SetClientHeight(height() < ExpandedHeight() ? ExpandedHeight() : CollapsedHeight());
}

void TfrmTNEFReaderOptions::SetClientHeight(int height) {
  setFixedSize(401, height);
  // The collapsed section is hidden, not only covered: Tab must not reach a field that
  // typing would change unseen.
  const bool expanded = height >= ExpandedHeight();
  for (QWidget* advanced : {static_cast<QWidget*>(ui->Label4), static_cast<QWidget*>(ui->edtMapi32Path),
                            static_cast<QWidget*>(ui->btnMapi32Path)})
    advanced->setVisible(expanded);
  // The panel follows the bottom edge at once, also before the window is shown.
  ui->Panel1->setGeometry(0, height - kPanelHeight, width(), kPanelHeight);
}

void TfrmTNEFReaderOptions::btnMapi32PathClick() {
  const QString current = ui->edtMapi32Path->text();
  const qsizetype slash = current.lastIndexOf(QLatin1Char('/'));
  if (slash >= 0) {
    // Opens in that folder with the name preset; a bare name leaves the dialog as it was.
    FOpenDialog->setDirectory(slash == 0 ? QStringLiteral("/") : current.left(slash));
    FOpenDialog->selectFile(current);
  }
  const int result = FileDialogRunner() ? FileDialogRunner()(*FOpenDialog) : FOpenDialog->exec();
  if (result != QDialog::Accepted) return;
  const QStringList files = FOpenDialog->selectedFiles();
  if (!files.isEmpty()) ui->edtMapi32Path->setText(files.first());
}

void TfrmTNEFReaderOptions::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    ui->retranslateUi(this);
    const int row = ui->cbxLanguage->currentIndex();
    if (ui->cbxLanguage->count() > 0) {
      FillLanguages();
      ui->cbxLanguage->setCurrentIndex(row);
    }
    FOpenDialog->setNameFilters({QStringLiteral("Mapi32.dll (Mapi32.dll)"), Res(TStringId::MailLibraryFilter)});
    FitLabels();
    if (FFirstRunNote != nullptr) FFirstRunNote->setText(Res(TStringId::FirstRunNote));
  }
  QDialog::changeEvent(event);
}

void TfrmTNEFReaderOptions::FitLabels() {
  // Headings grow to their text, as a translated heading may be longer than the English.
  for (QLabel* label : {ui->Label1, ui->Label3, ui->Label4}) {
    const QSize hint = label->sizeHint();
    label->resize(std::max(label->width(), hint.width()), std::max(label->height(), hint.height()));
  }
}

void TfrmTNEFReaderOptions::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  ui->Panel1->setGeometry(0, height() - kPanelHeight, width(), kPanelHeight);
}

void TfrmTNEFReaderOptions::keyPressEvent(QKeyEvent* event) {
  // Neither button is bound to Esc (nor to Enter: no button is a default one).
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
