#include "AttachmentListModel.h"

#include <QMimeData>
#include <QStringList>

#include "AttachmentActions.h"
#include "TNEFReaderConst.h"

TAttachmentListModel::TAttachmentListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TAttachmentListModel::Clear() {
  if (FRows.empty()) return;
  beginResetModel();
  FRows.clear();
  endResetModel();
}

void TAttachmentListModel::AddRow(TFileRow row) {
  const int at = Count();
  beginInsertRows({}, at, at);
  FRows.push_back(std::move(row));
  endInsertRows();
}

void TAttachmentListModel::SetRows(std::vector<TFileRow> rows) {
  beginResetModel();
  FRows = std::move(rows);
  endResetModel();
}

int TAttachmentListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count();
}

int TAttachmentListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant TAttachmentListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return {};
  const TFileRow& row = Row(index.row());
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    switch (index.column()) {
      case ColFilename: return row.Caption;
      case ColType: return row.Type;
      case ColSize: return row.Size;
      default: return {};
    }
  }
  return {};
}

QVariant TAttachmentListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  TStringId id;
  switch (section) {
    case ColFilename: id = TStringId::ColumnFilename; break;
    case ColType: id = TStringId::ColumnType; break;
    case ColSize: id = TStringId::ColumnSize; break;
    default: return {};
  }
  return QString::fromUtf8(LoadResString(id));
}

Qt::ItemFlags TAttachmentListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags result = QAbstractTableModel::flags(index);
  if (index.isValid() && index.row() < Count() && Row(index.row()).File) result |= Qt::ItemIsDragEnabled;
  return result;
}

QStringList TAttachmentListModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* TAttachmentListModel::mimeData(const QModelIndexList& indexes) const {
  for (const QModelIndex& index : indexes) {
    if (!index.isValid() || index.row() >= Count()) continue;
    if (TTNEFFile* file = Row(index.row()).File) {
      try {
        return AttachmentDragData(*file);
      } catch (const std::exception&) {
        return nullptr;  // no temporary copy, no drag
      }
    }
  }
  return nullptr;
}

void TAttachmentListModel::RetranslateHeaders() { emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1); }

void TAttachmentListModel::SetCaption(int row, const QString& caption) {
  if (row < 0 || row >= Count()) return;
  FRows[static_cast<std::size_t>(row)].Caption = caption;
  emit dataChanged(index(row, ColFilename), index(row, ColFilename));
}
