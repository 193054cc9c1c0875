#pragma once
// The message pane's header lines below Subject and From: the date sent and the To and Cc
// recipients, one line each (elided, the whole text in the tooltip), and for a meeting,
// appointment or task the summary of the item above the body.

#include <QLabel>
#include <QWidget>

class QFormLayout;
class QToolButton;
class QAction;
class TTNEFReader;
struct TCalendarItem;

// A one-line label that elides its text to its width and shows the whole in a tooltip
// when it does not fit.
class TElidedLabel : public QLabel {
  Q_OBJECT
public:
  explicit TElidedLabel(QWidget* parent = nullptr);
  void SetFullText(const QString& text);
  const QString& FullText() const { return FFullText; }
  QSize minimumSizeHint() const override;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void Elide();
  QString FFullText;
};

class TMessageHeader : public QWidget {
  Q_OBJECT
public:
  // addToCalendar is the window's action, shown as a button beside the summary.
  TMessageHeader(QAction* addToCalendar, QWidget* parent = nullptr);

  // Fills the lines from message; rows without a value are hidden.
  void ShowMessage(const TTNEFReader& message);
  // Labels again in the current language (values are refilled by the next ShowMessage).
  void Retranslate();

  TElidedLabel& DateLine() const { return *FDate; }
  TElidedLabel& ToLine() const { return *FTo; }
  TElidedLabel& CcLine() const { return *FCc; }
  // The calendar summary as shown (plain text, one "Label: value" line each); empty when
  // the message is no calendar item.
  QString SummaryText() const;
  QWidget& SummaryBox() const { return *FSummaryBox; }

  // Texts of the summary, in the user's language and time zone.
  static QString WhenText(const TCalendarItem& item);
  static QStringList SummaryLines(const TCalendarItem& item);

private:
  void SetRow(QLabel* label, TElidedLabel* value, const QString& text);

  QFormLayout* FForm = nullptr;
  QLabel* FDateLabel = nullptr;
  QLabel* FToLabel = nullptr;
  QLabel* FCcLabel = nullptr;
  TElidedLabel* FDate = nullptr;
  TElidedLabel* FTo = nullptr;
  TElidedLabel* FCc = nullptr;
  QWidget* FSummaryBox = nullptr;
  QLabel* FSummary = nullptr;
  QToolButton* FAddToCalendar = nullptr;
  QStringList FSummaryLines;
};
