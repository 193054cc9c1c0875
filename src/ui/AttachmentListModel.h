#pragma once
// The rows of lvwFiles: the "(message text)" row, then one row per attachment, each with
// its name, type description and size. A row carries the attachment it shows (none for the
// message-text row); rows are rebuilt from the reader on every open.

#include <QAbstractTableModel>
#include <QString>
#include <vector>

class TTNEFFile;

struct TFileRow {
  QString Caption;
  QString Type;
  QString Size;
  TTNEFFile* File = nullptr;  // none for the message-text row; owned by the reader
};

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

  // After a language switch: the column captions and a row's caption in the new language.
  void RetranslateHeaders();
  void SetCaption(int row, const QString& caption);

private:
  std::vector<TFileRow> FRows;
};
