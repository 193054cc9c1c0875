#include "AttachmentListModel.h"

#include <QLocale>
#include <QMimeData>
#include <QStringList>
#include <algorithm>

#include "AttachmentActions.h"
#include "TNEFReaderConst.h"

namespace {

// Names as a person orders them: runs of digits by their value ("file2" before "file10"),
// the rest by the locale's order without regard to case.
int NaturalCompare(const QString& a, const QString& b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const bool digitA = a.at(i).isDigit(), digitB = b.at(j).isDigit();
    qsizetype endA = i, endB = j;
    while (endA < a.size() && a.at(endA).isDigit() == digitA) ++endA;
    while (endB < b.size() && b.at(endB).isDigit() == digitB) ++endB;
    const QStringView partA = QStringView(a).mid(i, endA - i), partB = QStringView(b).mid(j, endB - j);
    int c = 0;
    if (digitA && digitB) {
      // By value: without leading zeros, the longer run is the larger number.
      qsizetype za = 0, zb = 0;
      while (za + 1 < partA.size() && partA.at(za) == QLatin1Char('0')) ++za;
      while (zb + 1 < partB.size() && partB.at(zb) == QLatin1Char('0')) ++zb;
      const QStringView va = partA.mid(za), vb = partB.mid(zb);
      c = va.size() != vb.size() ? (va.size() < vb.size() ? -1 : 1) : va.compare(vb);
    } else {
      c = QString::localeAwareCompare(partA.toString().toCaseFolded(), partB.toString().toCaseFolded());
    }
    if (c != 0) return c < 0 ? -1 : 1;
    i = endA;
    j = endB;
  }
  return i < a.size() ? 1 : j < b.size() ? -1 : 0;
}

}  // namespace

QString HumanSize(std::uint64_t bytes) {
  static constexpr TStringId kUnits[] = {TStringId::SizeBytes, TStringId::SizeKilobytes, TStringId::SizeMegabytes,
                                         TStringId::SizeGigabytes};
  const QLocale locale;
  if (bytes < 1024) return QString::fromUtf8(FormatRes(kUnits[0], {Arg(locale.toString(qulonglong(bytes)).toStdString())}));
  double value = static_cast<double>(bytes);
  std::size_t unit = 0;
  while (unit + 1 < std::size(kUnits) && value >= 1024 * 0.995) {
    value /= 1024;
    ++unit;
  }
  const QString number = locale.toString(value, 'f', value < 9.95 ? 1 : 0);
  return QString::fromUtf8(FormatRes(kUnits[unit], {Arg(number.toStdString())}));
}

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
  row.Order = at;
  FRows.push_back(std::move(row));
  endInsertRows();
}

void TAttachmentListModel::SetRows(std::vector<TFileRow> rows) {
  beginResetModel();
  FRows = std::move(rows);
  for (std::size_t i = 0; i < FRows.size(); ++i) FRows[i].Order = static_cast<int>(i);
  SortRows();
  endResetModel();
}

void TAttachmentListModel::sort(int column, Qt::SortOrder order) {
  FSortColumn = column >= 0 && column < ColumnCount ? column : -1;
  FSortOrder = order;
  if (FRows.size() < 3) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<int> orderBefore;
  orderBefore.reserve(static_cast<std::size_t>(before.size()));
  for (const QModelIndex& index : before) orderBefore.push_back(Row(index.row()).Order);
  SortRows();
  // Where each row's order went, so that the selection and the current row follow it.
  std::vector<int> rowOfOrder(FRows.size());
  for (std::size_t i = 0; i < FRows.size(); ++i) rowOfOrder[static_cast<std::size_t>(FRows[i].Order)] = static_cast<int>(i);
  QModelIndexList after;
  after.reserve(before.size());
  for (qsizetype i = 0; i < before.size(); ++i)
    after << index(rowOfOrder[static_cast<std::size_t>(orderBefore[static_cast<std::size_t>(i)])], before[i].column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TAttachmentListModel::SortRows() {
  if (FRows.size() < 3) return;
  // The message-text row stays first; ties keep the file's order.
  const auto first = FRows.begin() + 1;
  if (FSortColumn < 0) {
    std::sort(first, FRows.end(), [](const TFileRow& a, const TFileRow& b) { return a.Order < b.Order; });
    return;
  }
  const int column = FSortColumn;
  const bool descending = FSortOrder == Qt::DescendingOrder;
  std::stable_sort(first, FRows.end(), [&](const TFileRow& a, const TFileRow& b) {
    int c = 0;
    if (column == ColSize) c = a.Bytes < b.Bytes ? -1 : a.Bytes > b.Bytes ? 1 : 0;
    else c = NaturalCompare(column == ColType ? a.Type : a.Caption, column == ColType ? b.Type : b.Caption);
    if (c == 0) return a.Order < b.Order;
    return descending ? c > 0 : c < 0;
  });
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
  if (index.column() == ColSize) {
    switch (role) {
      case Qt::DisplayRole: return HumanSize(row.Bytes);
      // The exact count, as the file holds it.
      case Qt::ToolTipRole: return QString::number(row.Bytes);
      case Qt::UserRole: return QVariant::fromValue<qulonglong>(row.Bytes);
      case Qt::TextAlignmentRole: return int(Qt::AlignRight | Qt::AlignVCenter);
      default: return {};
    }
  }
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    switch (index.column()) {
      case ColFilename: return row.Caption;
      case ColType: return row.Type;
      default: return {};
    }
  }
  return {};
}

QVariant TAttachmentListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && section == ColSize)
    return int(Qt::AlignRight | Qt::AlignVCenter);
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

void TAttachmentListModel::SetMessageTextBytes(std::uint64_t bytes) {
  for (int row = 0; row < Count(); ++row) {
    TFileRow& fileRow = FRows[static_cast<std::size_t>(row)];
    if (fileRow.File != nullptr || fileRow.Bytes == bytes) continue;
    fileRow.Bytes = bytes;
    emit dataChanged(index(row, ColSize), index(row, ColSize));
  }
}

void TAttachmentListModel::SetCaption(int row, const QString& caption) {
  if (row < 0 || row >= Count()) return;
  FRows[static_cast<std::size_t>(row)].Caption = caption;
  emit dataChanged(index(row, ColFilename), index(row, ColFilename));
}
