#include "PathDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>

#include "Exception.h"

namespace {

TPathDialog::TModalRunner& Runner() {
  static TPathDialog::TModalRunner runner;
  return runner;
}

TPathDialog::TMessageRunner& MessageRunner() {
  static TPathDialog::TMessageRunner runner;
  return runner;
}

}  // namespace

TPathDialog::TPathDialog(QObject* owner) : QObject(owner) {}

TPathDialog::~TPathDialog() = default;

void TPathDialog::SetModalRunner(TModalRunner runner) { Runner() = std::move(runner); }
void TPathDialog::SetMessageRunner(TMessageRunner runner) { MessageRunner() = std::move(runner); }

void TPathDialog::SetDirectory(const QString& value) {
  // Only one separator goes, as one would type it; the root keeps its only character so
  // that it still names a folder.
  if (value.size() > 1 && value.endsWith(QLatin1Char('/'))) FDirectory = value.chopped(1);
  else if (!value.isEmpty()) FDirectory = value;
  else FDirectory = QDir::currentPath();
  if (FDialog && !FDirectory.isEmpty()) {
    // A folder that has gone since it was remembered opens at its nearest existing parent.
    QString folder = FDirectory;
    while (!QFileInfo(folder).isDir()) {
      const QString up = QDir::cleanPath(QDir(folder).absoluteFilePath(QStringLiteral("..")));
      if (up == folder) break;
      folder = up;
    }
    FDialog->setDirectory(InsideRoot(folder) && QFileInfo(folder).isDir() ? folder : RootPath());
  }
}

void TPathDialog::SetStatusText(const QString& value) {
  FStatusText = value;
  if (FDialog && FShowStatus && FStatusLine) FStatusLine->setText(FStatusText);
}

QString TPathDialog::RootPath() const {
  if (FRootItem == TRootItem::riDesktop) return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return QDir::rootPath();
}

bool TPathDialog::InsideRoot(const QString& path) const {
  const QString root = QDir::cleanPath(RootPath());
  const QString clean = QDir::cleanPath(QDir(path).absolutePath());
  return root == QDir::rootPath() || clean == root || clean.startsWith(root + QLatin1Char('/'));
}

template <class F>
void TPathDialog::RunEvent(F&& event) {
  try {
    event();
  } catch (const Exception& e) {
    const QString text = QString::fromUtf8(e.what());
    if (MessageRunner()) MessageRunner()(FDialog, text);
    else QMessageBox::information(FDialog, QString(), text);
  } catch (...) {
  }
}

bool TPathDialog::Execute() {
  const QString root = RootPath();
  if (root.isEmpty() || !QFileInfo(root).isDir()) return false;

  QWidget* ownerWindow = qobject_cast<QWidget*>(parent());
  if (ownerWindow == nullptr) ownerWindow = QApplication::activeWindow();

  QFileDialog dialog(ownerWindow);
  dialog.setObjectName(QStringLiteral("PathDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (!FTitle.isEmpty()) dialog.setWindowTitle(FTitle);
  dialog.setSidebarUrls({QUrl::fromLocalFile(root)});
  dialog.setDirectory(root);

  FStatusLine = nullptr;
  if (FShowStatus) {
    FStatusLine = new QLabel(&dialog);
    FStatusLine->setObjectName(QStringLiteral("StatusLine"));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
      grid->addWidget(FStatusLine, grid->rowCount(), 0, 1, grid->columnCount());
  }
  connect(&dialog, &QFileDialog::currentChanged, this, [this](const QString& path) { SelectionChanged(path); });
  connect(&dialog, &QFileDialog::directoryEntered, this, [this](const QString& path) { DirectoryEntered(path); });

  FDialog = &dialog;
  // The dialog exists from here on: select the folder, show the status, tell OnShow.
  Initialized();
  const int result = Runner() ? Runner()(dialog) : dialog.exec();
  FDialog = nullptr;
  FStatusLine = nullptr;

  if (result != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || !QFileInfo(chosen.first()).isDir()) return false;
  FDirectory = chosen.first();
  return true;
}

void TPathDialog::Initialized() {
  if (!FDialog) return;
  SetDirectory(FDirectory);
  SetStatusText(FStatusText);
  if (OnShow) RunEvent([this] { OnShow(this); });
}

void TPathDialog::SelectionChanged(const QString& path) {
  if (!OnSelect) return;
  const QString folder = QFileInfo(path).isDir() ? path : QString();
  RunEvent([this, &folder] { OnSelect(this, folder); });
}

void TPathDialog::DirectoryEntered(const QString& path) {
  // The tree has a top: the dialog may not be taken above its root.
  if (FDialog && !InsideRoot(path)) FDialog->setDirectory(RootPath());
}
