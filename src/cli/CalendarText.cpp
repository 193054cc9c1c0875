#include "CalendarText.h"

#include <cstdio>

#include "Json.h"

namespace {

std::string JsonOrNull(const std::string& text) { return text.empty() ? "null" : JsonString(text); }

std::string Person(const std::string& name, const std::string& address) {
  if (address.empty() || address == name) return name;
  if (name.empty()) return address;
  return name + " <" + address + ">";
}

const char* RoleText(TAttendeeRole role) {
  switch (role) {
    case TAttendeeRole::Optional: return "optional";
    case TAttendeeRole::Resource: return "resource";
    default: return "required";
  }
}

std::string IsoUtc(std::int64_t t, bool dateOnly) {
  std::string text = UtcText(t, dateOnly);
  if (dateOnly) return text;
  // "YYYY-MM-DD HH:MM UTC" -> "YYYY-MM-DDTHH:MM:00Z"
  return text.substr(0, 10) + "T" + text.substr(11, 5) + ":00Z";
}

}  // namespace

std::string UtcText(std::int64_t unixTime, bool dateOnly) {
  const std::string date = CompactDate(unixTime);
  std::string text = date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
  if (dateOnly) return text;
  const std::int64_t secondOfDay = ((unixTime % 86400) + 86400) % 86400;
  char clock[16];
  std::snprintf(clock, sizeof clock, " %02d:%02d UTC", static_cast<int>(secondOfDay / 3600),
                static_cast<int>(secondOfDay / 60 % 60));
  return text + clock;
}

std::string WhenText(const TCalendarItem& item) {
  if (!item.Start) return {};
  if (item.AllDay) {
    const std::int64_t last = item.End ? *item.End - 86400 : *item.Start;
    std::string text = UtcText(*item.Start, true);
    if (last > *item.Start) text += " - " + UtcText(last, true);
    return text + " (all day)";
  }
  std::string text = UtcText(*item.Start, false);
  if (item.End) text += " - " + UtcText(*item.End, false);
  return text;
}

std::string AttendeesText(const TCalendarItem& item) {
  std::string text;
  for (const TAttendee& a : item.Attendees) {
    if (!text.empty()) text += "; ";
    text += Person(a.Name, a.Address) + " (" + RoleText(a.Role);
    if (a.Answer != TCalendarAnswer::None) text += std::string(", ") + AnswerText(a.Answer);
    text += ")";
  }
  return text;
}

std::string OrganizerText(const TCalendarItem& item) { return Person(item.OrganizerName, item.OrganizerAddress); }

const char* AnswerText(TCalendarAnswer answer) {
  switch (answer) {
    case TCalendarAnswer::Accepted: return "Accepted";
    case TCalendarAnswer::Tentative: return "Tentative";
    case TCalendarAnswer::Declined: return "Declined";
    default: return "";
  }
}

const char* StatusText(TTaskStatus status) {
  switch (status) {
    case TTaskStatus::NotStarted: return "Not started";
    case TTaskStatus::InProgress: return "In progress";
    case TTaskStatus::Completed: return "Completed";
    case TTaskStatus::Waiting: return "Waiting on someone else";
    default: return "Deferred";
  }
}

void WriteCalendarLines(const TCalendarItem& item, std::ostream& out, std::string (*field)(const std::string&)) {
  if (!item.IsCalendarItem()) return;
  if (item.Kind == TCalendarKind::Event) {
    out << "When: " << WhenText(item) << "\n";
    if (!item.RecurrenceText.empty()) out << "Recurs: " << field(item.RecurrenceText) << "\n";
    out << "Where: " << field(item.Location) << "\n"
        << "Organizer: " << field(OrganizerText(item)) << "\n"
        << "Attendees: " << field(AttendeesText(item)) << "\n";
    if (item.Answer != TCalendarAnswer::None) out << "Answer: " << AnswerText(item.Answer) << "\n";
    return;
  }
  if (item.TaskStart) out << "Start: " << UtcText(*item.TaskStart, true) << "\n";
  out << "Due: " << (item.TaskDue ? UtcText(*item.TaskDue, true) : std::string()) << "\n";
  out << "Status: " << (item.Status ? StatusText(*item.Status) : "") << "\n";
  if (item.PercentComplete) out << "Complete: " << static_cast<int>(*item.PercentComplete * 100 + 0.5) << "%\n";
}

void WriteCalendarJson(const TCalendarItem& item, std::ostream& out) {
  if (!item.IsCalendarItem()) {
    out << ",\"calendar\":null";
    return;
  }
  const auto time = [&](const std::optional<std::int64_t>& t, bool dateOnly) {
    return t ? JsonString(IsoUtc(*t, dateOnly)) : std::string("null");
  };
  out << ",\"calendar\":{\"kind\":\"" << (item.Kind == TCalendarKind::Task ? "task" : "event") << "\""
      << ",\"start\":" << time(item.Start, item.AllDay) << ",\"end\":" << time(item.End, item.AllDay)
      << ",\"allDay\":" << (item.AllDay ? "true" : "false")
      << ",\"recurrence\":" << JsonOrNull(item.RecurrenceText)
      << ",\"where\":" << JsonOrNull(item.Location)
      << ",\"organizer\":{\"name\":" << JsonOrNull(item.OrganizerName)
      << ",\"address\":" << JsonOrNull(item.OrganizerAddress) << "}"
      << ",\"answer\":" << JsonOrNull(AnswerText(item.Answer)) << ",\"attendees\":[";
  for (std::size_t i = 0; i < item.Attendees.size(); ++i) {
    const TAttendee& a = item.Attendees[i];
    out << (i ? "," : "") << "{\"name\":" << JsonOrNull(a.Name) << ",\"address\":" << JsonOrNull(a.Address)
        << ",\"role\":\"" << RoleText(a.Role) << "\",\"answer\":" << JsonOrNull(AnswerText(a.Answer)) << "}";
  }
  out << "]";
  if (item.Kind == TCalendarKind::Task) {
    out << ",\"due\":" << time(item.TaskDue, true)
        << ",\"status\":" << (item.Status ? JsonString(StatusText(*item.Status)) : std::string("null"))
        << ",\"percentComplete\":";
    if (item.PercentComplete) out << static_cast<int>(*item.PercentComplete * 100 + 0.5);
    else out << "null";
  }
  out << "}";
}
