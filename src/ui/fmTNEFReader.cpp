#include "fmTNEFReader.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QFontDatabase>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QSplitterHandle>
#include <QTimer>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QLayout>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <optional>

#include "AboutBox.h"
#include "AttachmentActions.h"
#include "AttachmentListModel.h"
#include "DateTime.h"
#include "Exception.h"
#include "DeferredIcons.h"
#include "ErrorBox.h"
#include "FindBar.h"
#include "ListHeader.h"
#include "MailChooser.h"
#include "MailDocument.h"
#include "MailModuleLoader.h"
#include "MessageBodyView.h"
#include "OpenWarning.h"
#include "MessageHeader.h"
#include "MessagePrint.h"
#include "PathDialog.h"
#include "QvExtensionManager.h"
#include "Startup.h"
#include "StoreNotices.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"
#include "VelquinReaderOptions.h"
#include "WindowAccessibility.h"
#include "WindowPlacement.h"
#include "fraGoogleAd.h"
#include "WholeBodyConversion.h"
#include "ui_fmTNEFReader.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }
QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The text from the last dot on, dot included; empty without a dot.
QString ExtensionOf(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot);
}

// Leading and trailing spaces and control characters go, as with the command line.
QString TrimSpacesAndControls(const QString& s) {
  qsizetype begin = 0, end = s.size();
  while (begin < end && s.at(begin).unicode() <= 0x20) ++begin;
  while (end > begin && s.at(end - 1).unicode() <= 0x20) --end;
  return s.mid(begin, end - begin);
}

// The open dialog's view of a folder. Under the winmail.dat filter it lists, besides the
// names its patterns match, files without any extension: mail programs and web mail save
// the attachment as "winmail", "ATT00001" and the like. The file model only marks the names
// outside the patterns (they stay in it, disabled); this proxy shows those without a dot as
// ordinary files and hides the rest.
class TOpenDialogProxy : public QSortFilterProxyModel {
public:
  TOpenDialogProxy(QFileDialog* dialog, QString winmailFilter)
      : QSortFilterProxyModel(dialog), FDialog(dialog), FWinmailFilter(std::move(winmailFilter)) {}
  // After the filters changed (a new language): refilter with the new winmail.dat filter.
  void SetWinmailFilter(QString filter) {
    FWinmailFilter = std::move(filter);
    Refilter();
  }
  void Refilter() { invalidateFilter(); }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags result = QSortFilterProxyModel::flags(index);
    if (!(result & Qt::ItemIsEnabled) && IsExtensionless(mapToSource(index))) result |= Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return result;
  }

protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const QModelIndex index = sourceModel()->index(row, 0, parent);
    return (sourceModel()->flags(index) & Qt::ItemIsEnabled) || IsExtensionless(index);
  }

private:
  bool IsExtensionless(const QModelIndex& index) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    return files != nullptr && FDialog->selectedNameFilter() == FWinmailFilter && !files->isDir(index) &&
           !files->fileName(index).contains(QLatin1Char('.'));
  }
  QFileDialog* FDialog;
  QString FWinmailFilter;
};

// Tahoma 8 pt, or where Tahoma is missing a face of its width rather than the desktop's
// wider default, so that the toolbars' captions fit the list panel as designed. Only
// installed faces are named: each missing one costs a font search at every start.
QFont DesignFont(QFont font) {
  const QStringList installed = QFontDatabase::families();
  QStringList families;
  for (const QString& family : {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")})
    if (installed.contains(family, Qt::CaseInsensitive)) families << family;
  if (!families.isEmpty()) font.setFamilies(families);
  font.setPointSize(8);
  return font;
}

}  // namespace

// The icons live in this static library, which the linker would drop unreferenced. (The
// macro declares a global function, so this cannot sit in the unnamed namespace.)
static void InitResources() { Q_INIT_RESOURCE(icons); }

TfmVelquinDatReader::TfmVelquinDatReader(QWidget* parent)
    : QMainWindow(parent), ui((InitResources(), std::make_unique<Ui::TfmVelquinDatReader>())) {
  InstallWindowAccessibility();
  setFont(DesignFont(font()));
  ui->setupUi(this);
  setWindowTitle(Res(TStringId::MainWindowStartCaption));
  setWindowIcon(DeferredSvgIcon(QStringLiteral("velquin-reader")));
  ui->actOpenWinmail->setIcon(DeferredSvgIcon(QStringLiteral("open")));
  ui->actOpen->setIcon(DeferredSvgIcon(QStringLiteral("open")));
  ui->actSave->setIcon(DeferredSvgIcon(QStringLiteral("save")));
  ui->actSaveAll->setIcon(DeferredSvgIcon(QStringLiteral("saveall")));
  ui->actOptions->setIcon(DeferredSvgIcon(QStringLiteral("options")));
  ui->actWebsite->setIcon(DeferredSvgIcon(QStringLiteral("web")));
  ui->fraGoogleAd1->setBackgroundRole(QPalette::Base);

  TListHeader::Install(*ui->lvwFiles);
  FListModel = new TAttachmentListModel(this);
  ui->lvwFiles->setModel(FListModel);
  ui->lvwFiles->setColumnWidth(TAttachmentListModel::ColFilename, 120);
  ui->lvwFiles->setColumnWidth(TAttachmentListModel::ColType, 80);
  ui->lvwFiles->setColumnWidth(TAttachmentListModel::ColSize, 80);
  // A click on a column's header sorts by it (the message-text row stays first); until
  // then the list keeps the file's order.
  ui->lvwFiles->header()->setSortIndicator(-1, Qt::AscendingOrder);
  ui->lvwFiles->setSortingEnabled(true);
  QvExtensionManager1 = new TQvExtensionManager(this);
  QvExtensionManager1->setObjectName(QStringLiteral("QvExtensionManager1"));

  // The list keeps its width when the window grows; the preview takes the rest.
  ui->Splitter->setStretchFactor(0, 0);
  ui->Splitter->setStretchFactor(1, 1);
  // Colours through palettes, not style sheets: a style sheet puts every widget under it
  // through the style-sheet engine, which costs a tenth of the start-up.
  QSplitterHandle* handle = ui->Splitter->handle(1);
  QPalette handlePalette = handle->palette();
  handlePalette.setColor(QPalette::Window, handlePalette.color(QPalette::Light));
  handle->setPalette(handlePalette);
  handle->setAutoFillBackground(true);
  QPalette shadowPalette = ui->Label1->palette();
  shadowPalette.setColor(QPalette::WindowText, Qt::white);
  ui->Label1->setPalette(shadowPalette);
  QPalette sitePalette = ui->lblSite->palette();
  sitePalette.setColor(QPalette::WindowText, sitePalette.color(QPalette::Dark));
  ui->lblSite->setPalette(sitePalette);
  // The message pane covers the hint label; the white site label lies under the grey one.
  ui->pnlMessage->raise();

  SetupToolBars();
  // Back joins the toolbar before the keyboard's Tab order is laid through its buttons.
  SetupMessageNavigation();
  FWindowActions = SetupKeyboard(*this, *ui);
  connect(FWindowActions.About, &QAction::triggered, this, [this] { ShowAboutBox(this); });
  // Loaded once for the zoom and the placement below; a store that cannot be read leaves
  // both as designed.
  try {
    FStartOptions = std::make_unique<TVelquinReaderOptions>();
  } catch (const std::exception&) {
    FStartOptions.reset();
  }
  TVelquinReaderOptions* options = FStartOptions.get();
  // The pane's zoom is one for every body, kept from run to run.
  try {
    const int zoom = options ? options->MessageZoom() : 0;
    if (zoom != 0) ui->RichEdit1->SetZoom(zoom);
  } catch (const std::exception&) {
  }
  connect(ui->RichEdit1, &TMessageBrowser::ZoomChanged, this, [](int percent) {
    try {
      TVelquinReaderOptions().SetMessageZoom(percent);
    } catch (const std::exception&) {
      // A store that cannot be written keeps the zoom for this run only.
    }
  });
  SetupDialogs();
  SetupMessageTools();
  FPictureNotice = new QLabel(ui->pnlPreview);
  FPictureNotice->setObjectName(QStringLiteral("lblPictureNotice"));
  FPictureNotice->setGeometry(ui->lblExternal->geometry());
  FPictureNotice->setFont(ui->lblExternal->font());
  FPictureNotice->setWordWrap(true);
  FPictureNotice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  FPictureNotice->hide();
  NameWindowControls(*ui);
  // The list panel is 323 pixels wide, or as wide as the first toolbar needs where the
  // fonts are wider than the design's, so that no button hides in an overflow menu.
  ensurePolished();
  const QMargins margins = ui->pnlList->layout()->contentsMargins();
  FToolBarWidth = ui->ToolBar1->sizeHint().width() + margins.left() + margins.right();
  const int listWidth = std::max(323, FToolBarWidth);
  ui->Splitter->setSizes({listWidth, 769 - listWidth - ui->Splitter->handleWidth()});

  connect(ui->lvwFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { RunHandler(this, [this] { lvwFilesSelectItem(); }); });
  connect(ui->lvwFiles, &QAbstractItemView::doubleClicked, ui->actOpen, &QAction::trigger);
  connect(ui->lvwFiles, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    FPopupMenu->popup(ui->lvwFiles->viewport()->mapToGlobal(at));
  });
  connect(ui->actOpenWinmail, &QAction::triggered, this,
          [this] { RunHandler(this, [this] { actOpenWinmailExecute(); }); });
  connect(ui->actOpen, &QAction::triggered, this, [this] { RunHandler(this, [this] { actOpenExecute(); }); });
  connect(ui->actSave, &QAction::triggered, this, [this] { RunHandler(this, [this] { actSaveExecute(); }); });
  connect(ui->actSaveAll, &QAction::triggered, this,
          [this] { RunHandler(this, [this] { actSaveAllExecute(); }); });
  connect(ui->actOptions, &QAction::triggered, this,
          [this] { RunHandler(this, [this] { actOptionsExecute(); }); });
  connect(ui->actWebsite, &QAction::triggered, this, [this] { RunHandler(this, [] { actWebsiteExecute(); }); });
  // The site labels behave as links to the product's page.
  for (QWidget* label : {static_cast<QWidget*>(ui->lblSite), static_cast<QWidget*>(ui->Label1)}) {
    label->installEventFilter(this);
    label->setCursor(Qt::PointingHandCursor);
  }
  // Attachments can be dragged out of the list onto a file manager.
  ui->lvwFiles->setDragEnabled(true);
  ui->lvwFiles->setDragDropMode(QAbstractItemView::DragOnly);
  connect(ui->Splitter, &QSplitter::splitterMoved, this, [this] { SplitterMoved(); });

  // Centred on the screen at the design size; then the size, place and splitter the user
  // left, all inside the screens as they are now (a large scale factor makes the design's
  // size larger than the screen, and the title bar must stay on screen).
  resize(769, 550);
  if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  RestoreWindowPlacement(*this, *ui->Splitter, options);
}

TfmVelquinDatReader::~TfmVelquinDatReader() {
  // A conversion under way finishes on its own, and its result goes nowhere.
  FWholeBody.reset();
  // The print actions watch the pane through the form, which goes before the widgets do.
  delete FMessagePrint;
  FMessagePrint = nullptr;
  // No row may outlive the attachment it points to.
  FPreviewFile = nullptr;
  ui->pnlPreview->SetPicture(nullptr);
  FListModel->Clear();
  FPicture.Clear();
  FSelectedMessage.reset();
  FReader.reset();
  FParents.clear();
}

void TfmVelquinDatReader::SetupMessageTools() {
  FMessagePrint = new TMessagePrint(*this, *ui, *FMessageHeader);
  // The find bar lies over the body; it and its keys are there while the pane is shown.
  FFindBar = new TFindBar(ui->RichEdit1, this, ui->pnlMessage);
  auto* pane = qobject_cast<QBoxLayout*>(ui->pnlMessage->layout());
  pane->insertWidget(pane->indexOf(ui->RichEdit1), FFindBar);
  ui->pnlMessage->installEventFilter(this);
  QWidget::setTabOrder(ui->edtFrom, &FFindBar->Field());
  // The body can be selected from the keyboard too, for Ctrl+C.
  ui->RichEdit1->setTextInteractionFlags(ui->RichEdit1->textInteractionFlags() | Qt::TextSelectableByKeyboard);
}

void TfmVelquinDatReader::SetupToolBars() {
  // Buttons show the full caption ("Save as...", where Qt would drop the dots). The first
  // toolbar's take their captions' width, as three 110-pixel buttons would not fit the
  // panel's 307 pixels; the second's are at least the design's 77.
  auto widen = [this](QToolBar* bar, int width) {
    for (QAction* action : bar->actions()) {
      // Kept in step when a language switch retranslates the caption.
      auto syncIconText = [action] {
        if (action->iconText() != action->text()) action->setIconText(action->text());
      };
      syncIconText();
      connect(action, &QAction::changed, this, syncIconText);
      if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
        button->setMinimumWidth(width);
    }
  };
  widen(ui->ToolBar1, 0);
  widen(ui->ToolBar, 77);
  // Flat, tight toolbars as on the design, so the three captions of the first fit the panel.
  for (QToolBar* bar : {ui->ToolBar1, ui->ToolBar}) {
    bar->layout()->setSpacing(0);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
  }

  FPopupMenu = new QMenu(this);
  FPopupMenu->setObjectName(QStringLiteral("PopupMenu"));
  QAction* open1 = FPopupMenu->addAction(ui->actOpen->icon(), ui->actOpen->text());
  open1->setObjectName(QStringLiteral("Open1"));
  QAction* save1 = FPopupMenu->addAction(ui->actSave->icon(), ui->actSave->text());
  save1->setObjectName(QStringLiteral("Save1"));
  QAction* saveAll1 = FPopupMenu->addAction(ui->actSaveAll->icon(), ui->actSaveAll->text());
  saveAll1->setObjectName(QStringLiteral("SaveAll1"));
  // The menu items follow their actions' state and run them.
  auto link = [](QAction* item, QAction* action) {
    item->setEnabled(action->isEnabled());
    QObject::connect(action, &QAction::changed, item, [item, action] {
      item->setEnabled(action->isEnabled());
      item->setText(action->text());
    });
    QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
  };
  link(open1, ui->actOpen);
  link(save1, ui->actSave);
  link(saveAll1, ui->actSaveAll);
}

QStringList TfmVelquinDatReader::OpenFilters() {
  return {Res(TStringId::OpenFilterWinmail), Res(TStringId::OpenFilterMail), Res(TStringId::OpenFilterAllFiles)};
}

void TfmVelquinDatReader::SetupDialogs() {
  FDialogs = std::make_unique<TQtAttachmentDialogs>(
      this, [this]() -> QFileDialog& { return SaveDialog(); }, [this]() -> TPathDialog& { return FolderDialog(); });
}

QFileDialog& TfmVelquinDatReader::OpenDialog() {
  if (!FOpenDialog) {
    FOpenDialog = new QFileDialog(this);
    FOpenDialog->setObjectName(QStringLiteral("OpenDialog"));
    FOpenDialog->setFileMode(QFileDialog::ExistingFile);
    FOpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
    // Our own dialog, not the desktop's: only it lists extension-less files as winmail.dat.
    FOpenDialog->setOption(QFileDialog::DontUseNativeDialog, true);
    auto* proxy = new TOpenDialogProxy(FOpenDialog, OpenFilters().first());
    FOpenDialog->setProxyModel(proxy);
    if (auto* files = FOpenDialog->findChild<QFileSystemModel*>()) files->setNameFilterDisables(true);
    FOpenDialog->setNameFilters(OpenFilters());
    connect(FOpenDialog, &QFileDialog::filterSelected, proxy, &TOpenDialogProxy::Refilter);
  }
  return *FOpenDialog;
}

QFileDialog& TfmVelquinDatReader::SaveDialog() {
  if (!FSaveDialog) {
    FSaveDialog = new QFileDialog(this);
    FSaveDialog->setObjectName(QStringLiteral("SaveDialog"));
    FSaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    FSaveDialog->setFileMode(QFileDialog::AnyFile);
    FSaveDialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    FSaveDialog->setSizeGripEnabled(true);
  }
  return *FSaveDialog;
}

TPathDialog& TfmVelquinDatReader::FolderDialog() {
  if (!FPathDialog) {
    FPathDialog = new TPathDialog(this);
    FPathDialog->setObjectName(QStringLiteral("PathDialog"));
  }
  return *FPathDialog;
}

void TfmVelquinDatReader::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!FShown) {
    FShown = true;
    // Once the desktop has given the window its frame, the title bar must be on screen too.
    QTimer::singleShot(0, this, [this] { ClampWindowToScreens(*this); });
    RunHandler(this, [this] { FormShow(); });
  }
}

void TfmVelquinDatReader::FormShow() {
  // First run, language and association; a failure here stops the rest of the start.
  const std::unique_ptr<TVelquinReaderOptions> startOptions = std::move(FStartOptions);
  SetMapi32Path(RunStartupSequence(this));
  setAcceptDrops(true);
  ShowStoreNotices();
  OpenCommandLine(QCoreApplication::arguments().mid(1));
}

void TfmVelquinDatReader::ShowStoreNotices() {
  QStringList lines;
  for (const std::string& notice : TakeStoreNotices()) lines << QString::fromStdString(notice);
  if (lines.isEmpty()) return;
  auto* box = new QMessageBox(QMessageBox::Warning, Res(TStringId::AppTitle),
                              lines.join(QStringLiteral("\n\n")), QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("StoreNotice"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void TfmVelquinDatReader::closeEvent(QCloseEvent* event) {
  setAcceptDrops(false);
  SaveWindowPlacement(*this, *ui->Splitter);
  ClearPreview();
  event->accept();
}

QString TfmVelquinDatReader::CommandLineFileName(const QStringList& arguments) {
  return TrimSpacesAndControls(arguments.join(QLatin1Char(' ')));
}

void TfmVelquinDatReader::OpenCommandLine(const QStringList& arguments) {
  if (arguments.isEmpty()) return;
  const QString fileName = CommandLineFileName(arguments);
  if (fileName.isEmpty()) return;
  if (QFileInfo(fileName).isFile()) {
    OpenFile(fileName);
    return;
  }
  // The joined name is for an unquoted path with spaces; "velquin-reader a.dat b.dat" is
  // several files, and the window shows the first.
  const QString first = TrimSpacesAndControls(arguments.first());
  if (arguments.size() > 1 && !first.isEmpty() && QFileInfo(first).isFile()) {
    OpenFile(first);
    return;
  }
  throw Exception(FormatRes(TStringId::FileDoesNotExist, {Arg(fileName.toStdString())}));
}

// A drop opens the file where it is: always a copy, never the source's proposed move,
// which would have a file manager delete the file it dragged.
void TfmVelquinDatReader::dragEnterEvent(QDragEnterEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void TfmVelquinDatReader::dragMoveEvent(QDragMoveEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void TfmVelquinDatReader::dropEvent(QDropEvent* event) {
  // An attachment dragged from our own list is not a file to open.
  if (event->source() == ui->lvwFiles) {
    event->ignore();
    return;
  }
  QStringList names;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) names << url.toLocalFile();
  event->setDropAction(Qt::CopyAction);
  event->accept();
  OpenDroppedFiles(names);
}

int TfmVelquinDatReader::OpenDroppedFiles(const QStringList& fileNames) {
  for (int i = 0; i < fileNames.size(); ++i) {
    try {
      OpenFile(fileNames.at(i));
      return i;
    } catch (const std::exception&) {
      // A drop shows no error: the next file is tried.
    }
  }
  return -1;
}

void TfmVelquinDatReader::actOpenWinmailExecute() {
  QFileDialog& dialog = OpenDialog();
  if (dialog.exec() != QDialog::Accepted) return;
  const QStringList files = dialog.selectedFiles();
  if (!files.isEmpty()) OpenFile(files.first());
}

void TfmVelquinDatReader::OpenFile(const QString& fileName) {
  if (FDamagedNotice) FDamagedNotice->hide();
  ClearPreview();
  // The rows point into the reader, so they go with it; a failed open leaves an empty list.
  FSelectedMessage.reset();
  FReader.reset();
  FParents.clear();
  FParentRows.clear();
  ClearList();
  try {
    // A mail or a mailbox is opened through its winmail.dat; with several, the user picks.
    const TMailChooser chooser = [this](const TMailFile& mail) {
      return FMailChooser ? FMailChooser(mail) : ChooseMailEntry(this, mail);
    };
    // The mail parser is a module, loaded with the first mail; a bare TNEF stream opens
    // without it.
    const TMailOpener openMail = [](const std::string& path) { return MailModule().OpenMailFile(path); };
    FReader = OpenDocument(QFile::encodeName(fileName).toStdString(),
                           QFile::encodeName(FMapi32Path).toStdString(), chooser, openMail);
    if (!FReader) {
      setWindowTitle(Res(TStringId::MainWindowStartCaption));
      return;
    }
  } catch (const std::exception& e) {
    FReader.reset();
    // The list is empty now, so the caption must not name the earlier message.
    setWindowTitle(Res(TStringId::MainWindowStartCaption));
    throw Exception(FormatRes(TStringId::ErrorReadingFile,
                              {Arg(QFileInfo(fileName).fileName().toStdString()), Arg(e.what())}));
  }
  setWindowTitle(Res(TStringId::AppTitle) + QStringLiteral(" - ") + Utf8(FReader->DisplaySubject()));
  FillList();
  UpdateNavigation();
  if (FReader->IsDamaged()) ShowDamagedNotice();
}

void TfmVelquinDatReader::ShowDamagedNotice() {
  // One box, not one per file opened; it does not block the window, which shows what could
  // be read.
  if (!FDamagedNotice) {
    FDamagedNotice = new QMessageBox(QMessageBox::Information, Res(TStringId::AppTitle),
                                     Res(TStringId::DamagedFileNotice), QMessageBox::Ok, this);
    FDamagedNotice->setObjectName(QStringLiteral("DamagedNotice"));
    FDamagedNotice->setWindowModality(Qt::NonModal);
  }
  FDamagedNotice->show();
  FDamageToldFor = FBodyCount;
}

void TfmVelquinDatReader::ClearList() {
  FBodyInPane = false;
  ++FBodyCount;
  FWholeBody.reset();
  FListModel->Clear();
  FPictureNotice->hide();
  ui->pnlMessage->hide();
  ui->lblExternal->hide();
  UpdateSelection();
}

void TfmVelquinDatReader::FillList() {
  FListModel->Clear();
  // A message without an RTF body has its HTML or plain-text body in the message-text row.
  QString bodyExtension = QStringLiteral(".rtf");
  if (FReader->BodyKind() == TBodyKind::Html) bodyExtension = QStringLiteral(".htm");
  else if (FReader->BodyKind() == TBodyKind::Text) bodyExtension = QStringLiteral(".txt");
  std::vector<TFileRow> rows;
  rows.reserve(static_cast<std::size_t>(FReader->Count()) + 1);
  rows.push_back({Res(TStringId::MessageTextRow),
                  QvExtensionManager1->GetExtensionInfo(bodyExtension).Description,
                  FReader->BodySize(), nullptr});
  for (int i = 0; i < FReader->Count(); ++i) {
    TTNEFFile& file = FReader->Files(i);
    // An attached message is listed by its subject, not by the placeholder's name.
    if (file.IsEmbeddedMessage() && !file.EmbeddedSubject().empty()) {
      rows.push_back({Utf8(file.EmbeddedSubject()), Res(TStringId::EmbeddedMessageType),
                      file.Size(), &file});
      continue;
    }
    const QString caption = Utf8(file.DisplayName());
    // Shown with its direction marks neutralised, so "photo<RLO>gpj.exe" reads as stored.
    const QString type = file.IsEmbeddedMessage() ? Res(TStringId::EmbeddedMessageType)
                                                  : QvExtensionManager1->GetExtensionInfo(ExtensionOf(caption)).Description;
    rows.push_back({NeutralisedName(caption), type, file.Size(), &file});
  }
  FListModel->SetRows(std::move(rows));
  if (FListModel->Count() > 0) SelectRow(0);
  UpdateSelection();
  ui->fraGoogleAd1->ShowPage(ui->edtSubject->text(), TfraGoogleAd::LeadingText(*ui->RichEdit1->document()));
  ui->fraGoogleAd1->show();
}

void TfmVelquinDatReader::SelectRow(int i) {
  if (i < 0 || i >= FListModel->Count()) {
    ui->lvwFiles->selectionModel()->clearSelection();
    return;
  }
  const QModelIndex index = FListModel->index(i, 0);
  ui->lvwFiles->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString TfmVelquinDatReader::RowText(int row, int column) const {
  return FListModel->data(FListModel->index(row, column), Qt::DisplayRole).toString();
}

void TfmVelquinDatReader::lvwFilesSelectItem() { UpdateSelection(); }

void TfmVelquinDatReader::UpdateSelection() {
  const QModelIndexList selected = ui->lvwFiles->selectionModel()->selectedRows();
  const int row = selected.isEmpty() ? -1 : selected.first().row();
  TTNEFFile* file = row >= 0 ? FListModel->Row(row).File : nullptr;
  ui->actOpen->setEnabled(row >= 0 && file != nullptr);
  ui->actSave->setEnabled(row >= 0);
  ui->actSaveAll->setEnabled(FListModel->Count() > 1);
  if (row >= 0) ShowItem(file);
  else ClearPreview();
  UpdateNavigation();
}

void TfmVelquinDatReader::ShowItem(TTNEFFile* file) {
  if (!FReader || (file != nullptr && file == FPreviewFile)) return;
  FPreviewFile = nullptr;
  ui->pnlPreview->SetPicture(nullptr);
  NamePreview(*ui, QString());
  FPictureNotice->hide();
  FSelectedMessage.reset();
  if (file != nullptr && file->IsEmbeddedMessage()) {
    // An attached message shows in the message pane; one that cannot be read is only
    // listed, as an attachment to open would be.
    try {
      FSelectedMessage = FReader->OpenEmbedded(file->Index());
    } catch (const std::exception&) {
    }
    if (FSelectedMessage) {
      ShowMessagePane(FSelectedMessage);
      // The file around it may be sound: the attached message's own records tell.
      if (FSelectedMessage->IsDamaged()) ShowDamagedNotice();
    } else {
      ui->pnlMessage->hide();
      ui->lblExternal->show();
    }
  } else if (file != nullptr) {
    const QString extension = ExtensionOf(Utf8(file->DisplayName())).toLower();
    if (!TPicture::IsPreviewExtension(extension)) {
      ui->lblExternal->show();
    } else {
      ui->lblExternal->hide();
      const QString path = QFile::decodeName(QByteArray::fromStdString(file->PrepareTempCopy()));
      if (QFileInfo(path).isFile() && FPicture.LoadFromFile(path, extension)) {
        FPreviewFile = file;
        ui->pnlPreview->SetPicture(&FPicture);
        NamePreview(*ui, NeutralisedName(Utf8(file->DisplayName())));
      } else {
        // Said in the area, not in a box: the user only selected a row.
        FPictureNotice->setText(Res(TStringId::PictureNotShown));
        FPictureNotice->show();
      }
    }
    ui->pnlMessage->hide();
  } else {
    ShowMessagePane(FReader);
  }
  InvalidatePreview();
}

void TfmVelquinDatReader::ShowMessagePane(const std::shared_ptr<TTNEFReader>& shared) {
  TTNEFReader& message = *shared;
  // The open file's own body stays in the pane once shown; an attached message's body is
  // converted each time it is selected, and the own body after it again.
  const bool own = &message == FReader.get();
  if (!own || !FBodyInPane) {
    // A long body's start is shown at once; the whole is converted on a worker thread and
    // then takes its place, unless another body was put in the pane meanwhile.
    FWholeBody.reset();
    const TMessageBodyView first = MessageBodyHtml(message, TMessageBrowser::kFirstPartBytes);
    const bool wasDamaged = message.IsDamaged();
    ui->RichEdit1->ShowBody(first);
    // The row gave the header's size; a body refused at its start has the library's text.
    if (own) FListModel->SetMessageTextBytes(message.BodySize());
    FBodyInPane = own;
    const unsigned shown = ++FBodyCount;
    if (first.Partial)
      FWholeBody = std::make_unique<TWholeBodyConversion>(
          shared, this, [this, shown, own, wasDamaged](const TTNEFReader& converted, TMessageBodyView& whole) {
            // The pane may be hidden (a picture's row selected meanwhile) and still hold this
            // body, to be shown again; any other body put in the pane counted.
            if (FBodyCount != shown) return;
            FWholeBody.reset();
            ui->RichEdit1->ShowBody(whole);
            // Only the body's start was decoded for the first part: the whole decode may find
            // the body damaged, and its size may then be the mail library's text's.
            if (own) FListModel->SetMessageTextBytes(converted.BodySize());
            // (The open may have told already, had the worker's decode been quicker than it.)
            if (!wasDamaged && converted.IsDamaged() && FDamageToldFor != shown) ShowDamagedNotice();
          });
  }
  ui->edtSubject->setText(Utf8(message.DisplaySubject()));
  ui->edtSubject->setCursorPosition(0);
  ui->edtFrom->setText(Utf8(message.DisplayFrom()));
  ui->edtFrom->setCursorPosition(0);
  FMessageHeader->ShowMessage(message);
  ui->lblExternal->hide();
  ui->pnlMessage->show();
}

void TfmVelquinDatReader::ClearPreview() {
  FPreviewFile = nullptr;
  ui->pnlPreview->SetPicture(nullptr);
  NamePreview(*ui, QString());
  InvalidatePreview();
}

void TfmVelquinDatReader::InvalidatePreview() { ui->pnlPreview->update(); }

void TfmVelquinDatReader::SplitterMoved() { InvalidatePreview(); }

TTNEFFile* TfmVelquinDatReader::SelectedFile() const {
  const QModelIndexList selected = ui->lvwFiles->selectionModel()->selectedRows();
  return selected.isEmpty() ? nullptr : FListModel->Row(selected.first().row()).File;
}

bool TfmVelquinDatReader::HasSelection() const {
  return FReader && !ui->lvwFiles->selectionModel()->selectedRows().isEmpty();
}

void TfmVelquinDatReader::actOpenExecute() {
  if (!HasSelection()) return;
  TTNEFFile* file = SelectedFile();
  if (file == nullptr) return;
  if (file->IsEmbeddedMessage()) {
    OpenEmbeddedMessage(*file);
    return;
  }
  // The desktop sees the cleaned name of the temporary copy and its bytes; either may say
  // that opening runs code.
  const std::string head = file->ReadBytes(kExecutableHeadSize);
  const QString name = Utf8(file->DisplayName());
  const QString safeName = Utf8(file->SafeFileName());
  const QString asked = CanRunCode(safeName) && !CanRunCode(name) ? safeName : name;
  if (!ConfirmOpenAttachment(this, asked, QByteArray::fromStdString(head))) return;
  TAttachmentActions::actOpenExecute(file);
}

void TfmVelquinDatReader::actSaveExecute() {
  if (HasSelection()) TAttachmentActions(*FDialogs).actSaveExecute(*FReader, SelectedFile());
}

void TfmVelquinDatReader::actSaveAllExecute() {
  if (FReader && FListModel->Count() > 1) TAttachmentActions(*FDialogs).actSaveAllExecute(*FReader);
}

void TfmVelquinDatReader::actOptionsExecute() {
  if (const auto path = ShowOptionsDialog(this)) SetMapi32Path(*path);
}

bool TfmVelquinDatReader::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui->pnlMessage && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
    FFindBar->SetAvailable(event->type() == QEvent::ShowToParent);
  if (event->type() == QEvent::MouseButtonRelease &&
      (watched == ui->lblSite || watched == ui->Label1)) {
    ui->actWebsite->trigger();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfmVelquinDatReader::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    ui->retranslateUi(this);
    RetranslateTexts();
  }
  QMainWindow::changeEvent(event);
}

void TfmVelquinDatReader::RetranslateTexts() {
  setWindowTitle(FReader ? Res(TStringId::AppTitle) + QStringLiteral(" - ") + Utf8(FReader->DisplaySubject())
                         : Res(TStringId::MainWindowStartCaption));
  if (FOpenDialog) {
    // New filters select the first again: winmail.dat, with the extension-less files.
    FOpenDialog->setNameFilters(OpenFilters());
    if (auto* proxy = dynamic_cast<TOpenDialogProxy*>(FOpenDialog->proxyModel()))
      proxy->SetWinmailFilter(OpenFilters().first());
  }
  FListModel->RetranslateHeaders();
  RetranslateWindowActions(FWindowActions);
  NameWindowControls(*ui);
  FMessagePrint->Retranslate();
  FFindBar->Retranslate();
  if (!FPictureNotice->isHidden()) FPictureNotice->setText(Res(TStringId::PictureNotShown));
  if (FDamagedNotice) {
    FDamagedNotice->setWindowTitle(Res(TStringId::AppTitle));
    FDamagedNotice->setText(Res(TStringId::DamagedFileNotice));
  }
  if (FListModel->Count() > 0) FListModel->SetCaption(0, Res(TStringId::MessageTextRow));
  actBack->setText(Res(TStringId::ActionBack));
  actAddToCalendar->setText(Res(TStringId::ActionAddToCalendar));
  FMessageHeader->Retranslate();
  if (const TTNEFReader* shown = ShownMessage()) FMessageHeader->ShowMessage(*shown);
  for (QAction* action : ui->ToolBar1->actions() + ui->ToolBar->actions()) action->setIconText(action->text());
  // Captions that grew longer may need a wider list panel, so that no button hides in an
  // overflow menu; the panel keeps the width the user gave it otherwise.
  const QMargins margins = ui->pnlList->layout()->contentsMargins();
  const int needed = ui->ToolBar1->sizeHint().width() + margins.left() + margins.right();
  const QList<int> sizes = ui->Splitter->sizes();
  if (needed > FToolBarWidth && sizes.size() == 2 && sizes[0] < needed)
    ui->Splitter->setSizes({needed, std::max(0, sizes[0] + sizes[1] - needed)});
  FToolBarWidth = needed;
}
