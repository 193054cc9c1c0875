#include "MailChooser.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "MailFile.h"
#include "TNEFReaderConst.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }
QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The subject of the entry's mail; with several parts in one mail, the part's name after it
// so that the rows can be told apart.
QString SubjectCaption(const TMailEntry& entry) {
  QString caption = Utf8(entry.Headers.Subject);
  if (entry.PartsInMail > 1)
    caption += QStringLiteral(" [%1]").arg(entry.PartName.empty() ? QString::number(entry.PartInMail + 1)
                                                                  : Utf8(entry.PartName));
  return caption;
}

}  // namespace

int ChooseMailEntry(QWidget* parent, const TMailFile& mail, const std::function<void(QDialog&)>& onShown) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("MailChooser"));
  dialog.setWindowTitle(Res(TStringId::MailChooserTitle));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(Res(TStringId::MailChooserPrompt), &dialog));
  auto* list = new QTreeWidget(&dialog);
  list->setObjectName(QStringLiteral("lvwMails"));
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setHeaderLabels({Res(TStringId::MailColumnSubject), Res(TStringId::MailColumnFrom),
                         Res(TStringId::MailColumnDate)});
  QList<QTreeWidgetItem*> items;
  for (int i = 0; i < mail.Count(); ++i) {
    const TMailEntry& entry = mail.Entry(i);
    items << new QTreeWidgetItem(
        {SubjectCaption(entry), Utf8(entry.Headers.From), Utf8(entry.Headers.DateText)});
  }
  list->addTopLevelItems(items);
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  if (!items.isEmpty()) list->setCurrentItem(items.first());
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);
  dialog.resize(640, 320);
  if (onShown) QTimer::singleShot(0, &dialog, [&] { onShown(dialog); });
  if (dialog.exec() != QDialog::Accepted || list->currentItem() == nullptr) return -1;
  return list->indexOfTopLevelItem(list->currentItem());
}
