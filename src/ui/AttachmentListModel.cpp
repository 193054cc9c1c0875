#include "AttachmentListModel.h"

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
