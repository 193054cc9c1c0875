// The main window's walk through embedded messages (Open shows an attached message in
// place of its parent, Back returns) and the export of a calendar item.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "AttachmentActions.h"
#include "AttachmentListModel.h"
#include "DeferredIcons.h"
#include "ErrorBox.h"
#include "FileCopy.h"
#include "MailModuleLoader.h"
#include "MessageBody.h"
#include "MessageHeader.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"
#include "fmTNEFReader.h"
#include "ui_fmTNEFReader.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }

}  // namespace

void TfmVelquinDatReader::SetupMessageNavigation() {
  actBack = new QAction(DeferredIcon([] { return QApplication::style()->standardIcon(QStyle::SP_ArrowBack); }),
                        Res(TStringId::ActionBack), this);
  actBack->setObjectName(QStringLiteral("actBack"));
  actBack->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  actBack->setShortcutContext(Qt::WindowShortcut);
  actBack->setIconText(actBack->text());
  // Only inside an embedded message is there somewhere to go back to; hidden, the button
  // leaves the toolbar as it was.
  actBack->setVisible(false);
  ui->ToolBar->insertAction(ui->actOpen, actBack);
  connect(actBack, &QAction::triggered, this, [this] { RunHandler(this, [this] { actBackExecute(); }); });

  actAddToCalendar = new QAction(Res(TStringId::ActionAddToCalendar), this);
  actAddToCalendar->setObjectName(QStringLiteral("actAddToCalendar"));
  actAddToCalendar->setEnabled(false);
  addAction(actAddToCalendar);
  connect(actAddToCalendar, &QAction::triggered, this,
          [this] { RunHandler(this, [this] { actAddToCalendarExecute(); }); });

  // The header lines go between From and the body.
  FMessageHeader = new TMessageHeader(actAddToCalendar, ui->pnlMessage);
  auto* layout = static_cast<QVBoxLayout*>(ui->pnlMessage->layout());
  layout->insertWidget(layout->indexOf(ui->edtFrom) + 1, FMessageHeader);
}

TTNEFReader* TfmVelquinDatReader::ShownMessage() const {
  if (!FReader || !ui->pnlMessage->isVisibleTo(this)) return nullptr;
  return FSelectedMessage ? FSelectedMessage.get() : FReader.get();
}

void TfmVelquinDatReader::UpdateNavigation() {
  actBack->setVisible(!FParents.empty());
  actBack->setEnabled(!FParents.empty());
  const TTNEFReader* shown = ShownMessage();
  actAddToCalendar->setEnabled(shown != nullptr && shown->Calendar().IsCalendarItem());
}

void TfmVelquinDatReader::OpenEmbeddedMessage(TTNEFFile& file) {
  // Read first: a damaged message leaves the window as it was.
  std::unique_ptr<TTNEFReader> child = FReader->OpenEmbedded(file.Index());
  const QModelIndexList selected = ui->lvwFiles->selectionModel()->selectedRows();
  // The pane and the rows go with the message they show.
  ClearList();
  FSelectedMessage.reset();
  FParentRows.push_back(selected.isEmpty() ? 0 : selected.first().row());
  FParents.push_back(std::move(FReader));
  FReader = std::move(child);
  setWindowTitle(Res(TStringId::AppTitle) + QStringLiteral(" - ") + QString::fromStdString(FReader->DisplaySubject()));
  FillList();
  UpdateNavigation();
  if (FReader->IsDamaged()) ShowDamagedNotice();
}

void TfmVelquinDatReader::actBackExecute() {
  if (FParents.empty()) return;
  // The pane and the rows go with the message they show.
  ClearList();
  FSelectedMessage.reset();
  FReader = std::move(FParents.back());
  FParents.pop_back();
  const int row = FParentRows.back();
  FParentRows.pop_back();
  setWindowTitle(Res(TStringId::AppTitle) + QStringLiteral(" - ") + QString::fromStdString(FReader->DisplaySubject()));
  FillList();
  // Back where the user left: the embedded message's row.
  SelectRow(row);
  UpdateSelection();
  UpdateNavigation();
}

void TfmVelquinDatReader::actAddToCalendarExecute() {
  TTNEFReader* message = ShownMessage();
  if (!message || !message->Calendar().IsCalendarItem()) return;
  const std::string text = MailModule().CalendarItemToICalendar(
      message->Calendar(), ConvertMessageBody(*message, TBodyOutputs::Text).Text, DateTimeToUnix(message->DateSent()));
  QString name = QString::fromStdString(message->DisplaySubject()).trimmed();
  for (QChar& c : name)
    if (c == QLatin1Char('/') || c.unicode() < 0x20) c = QLatin1Char('_');
  if (name.isEmpty()) name = QStringLiteral("calendar");
  const QString chosen = FDialogs->AskSaveFileName(name + QStringLiteral(".ics"));
  if (chosen.isEmpty()) return;
  WriteFileBytes(QFile::encodeName(chosen).toStdString(), text.data(), text.size(), TCreateMode::Replace);
}
