#pragma once
// The rows of lvwFiles: the "(message text)" row, then one row per attachment, each with
// its name, type description and size. A row carries the attachment it shows (none for the
// message-text row); rows are rebuilt from the reader on every open.
//
// Sizes show in a short human form ("1.2 MB"), right-aligned; the byte count stays the
// tooltip and the sort key. The rows sort by any column, the message-text row always
// first; column -1 is the file's own order.

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <vector>

class TTNEFFile;

struct TFileRow {
  QString Caption;
  QString Type;
  std::uint64_t Bytes = 0;
  TTNEFFile* File = nullptr;  // none for the message-text row; owned by the reader
  int Order = 0;              // the place in the file's own order, set by the model
};

// A byte count in the short form the list shows: "0 B", "999 B", "1.2 KB", "15 KB",
// "1.5 MB", "2.0 GB" (units of 1024, one decimal below 10, the current locale's digits).
QString HumanSize(std::uint64_t bytes);

class TAttachmentListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  enum TColumn { ColFilename, ColType, ColSize, ColumnCount };

  explicit TAttachmentListModel(QObject* parent = nullptr);

  void Clear();
  void AddRow(TFileRow row);
  // Replaces every row at once: one reset, however many rows (a row at a time, the view
  // would lay itself out again for each).
  void SetRows(std::vector<TFileRow> rows);
  const TFileRow& Row(int i) const { return FRows.at(static_cast<std::size_t>(i)); }
  int Count() const { return static_cast<int>(FRows.size()); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Attachment rows can be dragged out: the drag carries the attachment's temporary copy.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;

  // Sorts the rows below the message-text row by column (-1: the file's order); rows set
  // later are sorted the same way.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  // After a language switch: the column captions and a row's caption in the new language.
  void RetranslateHeaders();
  void SetCaption(int row, const QString& caption);
  // The message-text row's size, once the body is decoded (the row without a File).
  void SetMessageTextBytes(std::uint64_t bytes);

private:
  void SortRows();
  std::vector<TFileRow> FRows;
  int FSortColumn = -1;
  Qt::SortOrder FSortOrder = Qt::AscendingOrder;
};
