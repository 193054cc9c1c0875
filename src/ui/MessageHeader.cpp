#include "MessageHeader.h"

#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QResizeEvent>
#include <QTimeZone>
#include <QToolButton>
#include <QVBoxLayout>

#include "CalendarItem.h"
#include "Languages.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"

namespace {

QString Res(TStringId id) { return QString::fromUtf8(LoadResString(id)); }
QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QDateTime LocalTime(std::int64_t unixTime) { return QDateTime::fromSecsSinceEpoch(unixTime, QTimeZone::utc()).toLocalTime(); }

// A date of an all-day item: the UTC date it was stored as, not shifted into any zone.
QString DateText(std::int64_t unixTime) {
  return QLocale().toString(QDateTime::fromSecsSinceEpoch(unixTime, QTimeZone::utc()).date(), QLocale::ShortFormat);
}

QString Person(const std::string& name, const std::string& address) {
  if (address.empty() || address == name) return Utf8(name);
  if (name.empty()) return Utf8(address);
  return Utf8(name) + QStringLiteral(" <") + Utf8(address) + QLatin1Char('>');
}

QString AnswerText(TCalendarAnswer answer) {
  switch (answer) {
    case TCalendarAnswer::Accepted: return Res(TStringId::CalendarAccepted);
    case TCalendarAnswer::Tentative: return Res(TStringId::CalendarTentative);
    case TCalendarAnswer::Declined: return Res(TStringId::CalendarDeclined);
    default: return {};
  }
}

QString StatusText(TTaskStatus status) {
  switch (status) {
    case TTaskStatus::NotStarted: return Res(TStringId::TaskNotStarted);
    case TTaskStatus::InProgress: return Res(TStringId::TaskInProgress);
    case TTaskStatus::Completed: return Res(TStringId::TaskCompleted);
    case TTaskStatus::Waiting: return Res(TStringId::TaskWaiting);
    default: return Res(TStringId::TaskDeferred);
  }
}

QString Line(TStringId label, const QString& value) { return LabelledText(Res(label), value); }

}  // namespace

// ---- TElidedLabel ----------------------------------------------------------------------

TElidedLabel::TElidedLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setTextInteractionFlags(Qt::TextSelectableByMouse);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TElidedLabel::SetFullText(const QString& text) {
  // One line: a name with a line break in it would otherwise push the body down.
  FFullText = QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
  Elide();
}

QSize TElidedLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

void TElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  Elide();
}

void TElidedLabel::Elide() {
  const QString shown = fontMetrics().elidedText(FFullText, Qt::ElideRight, std::max(0, width()));
  setText(shown);
  setToolTip(shown == FFullText ? QString() : FFullText);
}

// ---- TMessageHeader --------------------------------------------------------------------

TMessageHeader::TMessageHeader(QAction* addToCalendar, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MessageHeader"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 5, 0, 0);
  outer->setSpacing(4);
  FForm = new QFormLayout;
  FForm->setContentsMargins(0, 0, 0, 0);
  FForm->setVerticalSpacing(2);
  FForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  const auto row = [this](QLabel*& label, TElidedLabel*& value, const char* name) {
    label = new QLabel(this);
    value = new TElidedLabel(this);
    value->setObjectName(QString::fromLatin1(name));
    FForm->addRow(label, value);
  };
  row(FDateLabel, FDate, "lblDateValue");
  row(FToLabel, FTo, "lblToValue");
  row(FCcLabel, FCc, "lblCcValue");
  outer->addLayout(FForm);

  FSummaryBox = new QWidget(this);
  FSummaryBox->setObjectName(QStringLiteral("CalendarSummary"));
  auto* box = new QHBoxLayout(FSummaryBox);
  box->setContentsMargins(0, 4, 0, 0);
  FSummary = new QLabel(FSummaryBox);
  FSummary->setTextFormat(Qt::PlainText);
  FSummary->setWordWrap(true);
  FSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  FSummary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  box->addWidget(FSummary, 1);
  FAddToCalendar = new QToolButton(FSummaryBox);
  FAddToCalendar->setDefaultAction(addToCalendar);
  FAddToCalendar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  box->addWidget(FAddToCalendar, 0, Qt::AlignTop);
  FSummaryBox->hide();
  outer->addWidget(FSummaryBox);
  Retranslate();
}

void TMessageHeader::Retranslate() {
  FDateLabel->setText(LabelText(Res(TStringId::HeaderDate)));
  FToLabel->setText(LabelText(Res(TStringId::HeaderTo)));
  FCcLabel->setText(LabelText(Res(TStringId::HeaderCc)));
}

void TMessageHeader::SetRow(QLabel* label, TElidedLabel* value, const QString& text) {
  value->SetFullText(text);
  label->setVisible(!text.isEmpty());
  value->setVisible(!text.isEmpty());
}

void TMessageHeader::ShowMessage(const TTNEFReader& message) {
  // The submit time is UTC and shown in the user's zone; attDateSent is the sender's clock
  // and is shown as it reads.
  QString date;
  if (message.SubmitTime() != 0)
    date = QLocale().toString(LocalTime(message.SubmitTime()), QLocale::LongFormat);
  else if (const std::int64_t sent = DateTimeToUnix(message.DateSent())) {
    const QDateTime clock = QDateTime::fromSecsSinceEpoch(sent, QTimeZone::utc());
    date = QLocale().toString(clock.date(), QLocale::LongFormat) + QLatin1Char(' ') +
           QLocale().toString(clock.time(), QLocale::ShortFormat);
  }
  SetRow(FDateLabel, FDate, date);
  SetRow(FToLabel, FTo, Utf8(message.RecipientLine(TRecipientType::To)));
  SetRow(FCcLabel, FCc, Utf8(message.RecipientLine(TRecipientType::Cc)));
  FSummaryLines = SummaryLines(message.Calendar());
  FSummary->setText(FSummaryLines.join(QLatin1Char('\n')));
  FSummaryBox->setVisible(!FSummaryLines.isEmpty());
}

QString TMessageHeader::SummaryText() const { return FSummaryLines.join(QLatin1Char('\n')); }

QString TMessageHeader::WhenText(const TCalendarItem& item) {
  if (!item.Start) return {};
  const QLocale locale;
  if (item.AllDay) {
    const std::int64_t last = item.End ? *item.End - 86400 : *item.Start;
    QString text = DateText(*item.Start);
    if (last > *item.Start) text += QStringLiteral(" - ") + DateText(last);
    return text + QStringLiteral(" (") + Res(TStringId::CalendarAllDay) + QLatin1Char(')');
  }
  const QDateTime start = LocalTime(*item.Start);
  QString text = locale.toString(start, QLocale::ShortFormat);
  if (item.End) {
    const QDateTime end = LocalTime(*item.End);
    // The same day once: "21/01/2013 10:00 - 11:00".
    text += QStringLiteral(" - ") + (end.date() == start.date() ? locale.toString(end.time(), QLocale::ShortFormat)
                                                               : locale.toString(end, QLocale::ShortFormat));
  }
  return text;
}

QStringList TMessageHeader::SummaryLines(const TCalendarItem& item) {
  QStringList lines;
  if (!item.IsCalendarItem()) return lines;
  lines << Line(TStringId::CalendarWhat, Utf8(item.Summary));
  if (item.Kind == TCalendarKind::Event) {
    if (item.Method == TCalendarMethod::Cancel) lines << Res(TStringId::CalendarCanceled);
    if (item.Answer != TCalendarAnswer::None) lines << Line(TStringId::CalendarAnswer, AnswerText(item.Answer));
    lines << Line(TStringId::CalendarWhen, WhenText(item));
    if (!item.RecurrenceText.empty()) lines << Line(TStringId::CalendarRecurs, Utf8(item.RecurrenceText));
    if (!item.Location.empty()) lines << Line(TStringId::CalendarWhere, Utf8(item.Location));
    const QString organizer = Person(item.OrganizerName, item.OrganizerAddress);
    if (!organizer.isEmpty()) lines << Line(TStringId::CalendarOrganizer, organizer);
    QStringList attendees;
    for (const TAttendee& a : item.Attendees) {
      QString text = Person(a.Name, a.Address) + QStringLiteral(" (") +
                     Res(a.Role == TAttendeeRole::Optional   ? TStringId::CalendarOptional
                         : a.Role == TAttendeeRole::Resource ? TStringId::CalendarResource
                                                             : TStringId::CalendarRequired);
      if (a.Answer != TCalendarAnswer::None) text += QStringLiteral(", ") + AnswerText(a.Answer);
      attendees << text + QLatin1Char(')');
    }
    if (!attendees.isEmpty()) lines << Line(TStringId::CalendarAttendees, attendees.join(QStringLiteral("; ")));
  } else {
    if (item.TaskDue) lines << Line(TStringId::TaskDue, DateText(*item.TaskDue));
    if (item.Status) lines << Line(TStringId::TaskStatus, StatusText(*item.Status));
    if (item.PercentComplete)
      lines << Line(TStringId::TaskComplete, QString::number(static_cast<int>(*item.PercentComplete * 100 + 0.5)) + QLatin1Char('%'));
  }
  return lines;
}
