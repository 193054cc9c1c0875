#include "ICalendarWriter.h"

#include <libical/ical.h>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "Exception.h"
#include "TNEFReaderConst.h"

namespace {

// Names and addresses go into parameters, where a line break or another control character
// would end the line early; they become spaces.
std::string OneLine(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return out;
}

icaltimetype TimeOf(std::int64_t unixTime, bool isDate) {
  return icaltime_from_timet_with_zone(static_cast<time_t>(unixTime), isDate ? 1 : 0,
                                       icaltimezone_get_utc_timezone());
}

// A calendar address: the mail address when there is one; a name alone gets the address
// that marks "no mail address", so the attendee is still listed by name.
std::string CalAddress(const std::string& address) {
  return address.empty() ? std::string("invalid:nomail") : "mailto:" + OneLine(address);
}

icalparameter_partstat PartStat(TCalendarAnswer answer) {
  switch (answer) {
    case TCalendarAnswer::Accepted: return ICAL_PARTSTAT_ACCEPTED;
    case TCalendarAnswer::Tentative: return ICAL_PARTSTAT_TENTATIVE;
    case TCalendarAnswer::Declined: return ICAL_PARTSTAT_DECLINED;
    default: return ICAL_PARTSTAT_NEEDSACTION;
  }
}

icalproperty_method MethodOf(TCalendarMethod method) {
  switch (method) {
    case TCalendarMethod::Request: return ICAL_METHOD_REQUEST;
    case TCalendarMethod::Reply: return ICAL_METHOD_REPLY;
    case TCalendarMethod::Cancel: return ICAL_METHOD_CANCEL;
    default: return ICAL_METHOD_PUBLISH;
  }
}

// A stable id for items whose writer gave none: the same file gives the same UID, so a
// second import updates rather than duplicates.
std::string MadeUpUid(const TCalendarItem& item) {
  std::uint64_t hash = 1469598103934665603ULL;
  const auto mix = [&hash](const std::string& s) {
    for (unsigned char c : s) hash = (hash ^ c) * 1099511628211ULL;
  };
  mix(item.Summary);
  mix(std::to_string(item.Start.value_or(0)));
  mix(std::to_string(item.TaskDue.value_or(0)));
  char text[40];
  std::snprintf(text, sizeof text, "%016llx@velquin-reader", static_cast<unsigned long long>(hash));
  return text;
}

struct TComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};

void AddPerson(icalcomponent* c, icalproperty* p, const std::string& name) {
  if (!name.empty()) icalproperty_add_parameter(p, icalparameter_new_cn(OneLine(name).c_str()));
  icalcomponent_add_property(c, p);
}

}  // namespace

std::string CalendarItemToICalendar(const TCalendarItem& item, const std::string& description,
                                    std::int64_t stamp) {
  if (!item.IsCalendarItem()) throw Exception(LoadResString(TStringId::CliNoCalendarItem));
  // Faults are reported through icalerrno, never by ending the process.
  icalerror_set_errors_are_fatal(0);

  std::unique_ptr<icalcomponent, TComponentFree> calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
  icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Velquin//Velquin Reader//EN"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_method(MethodOf(item.Method)));

  const bool task = item.Kind == TCalendarKind::Task;
  icalcomponent* c = icalcomponent_new(task ? ICAL_VTODO_COMPONENT : ICAL_VEVENT_COMPONENT);
  icalcomponent_add_component(calendar.get(), c);

  icalcomponent_add_property(c, icalproperty_new_uid(item.Uid.empty() ? MadeUpUid(item).c_str() : item.Uid.c_str()));
  icalcomponent_add_property(c, icalproperty_new_dtstamp(TimeOf(stamp > 0 ? stamp : std::time(nullptr), false)));
  if (item.Sequence > 0) icalcomponent_add_property(c, icalproperty_new_sequence(item.Sequence));
  if (!item.Summary.empty()) icalcomponent_add_property(c, icalproperty_new_summary(item.Summary.c_str()));
  if (!description.empty()) icalcomponent_add_property(c, icalproperty_new_description(description.c_str()));
  if (!item.Location.empty()) icalcomponent_add_property(c, icalproperty_new_location(item.Location.c_str()));

  if (task) {
    if (item.TaskStart) icalcomponent_add_property(c, icalproperty_new_dtstart(TimeOf(*item.TaskStart, true)));
    if (item.TaskDue) icalcomponent_add_property(c, icalproperty_new_due(TimeOf(*item.TaskDue, true)));
    if (item.PercentComplete)
      icalcomponent_add_property(c, icalproperty_new_percentcomplete(static_cast<int>(*item.PercentComplete * 100 + 0.5)));
    if (item.Status) {
      const icalproperty_status status = *item.Status == TTaskStatus::Completed    ? ICAL_STATUS_COMPLETED
                                         : *item.Status == TTaskStatus::InProgress ? ICAL_STATUS_INPROCESS
                                         : *item.Status == TTaskStatus::Deferred   ? ICAL_STATUS_CANCELLED
                                                                                   : ICAL_STATUS_NEEDSACTION;
      icalcomponent_add_property(c, icalproperty_new_status(status));
    }
  } else {
    if (item.Start) icalcomponent_add_property(c, icalproperty_new_dtstart(TimeOf(*item.Start, item.AllDay)));
    if (item.End) icalcomponent_add_property(c, icalproperty_new_dtend(TimeOf(*item.End, item.AllDay)));
    if (item.Method == TCalendarMethod::Cancel)
      icalcomponent_add_property(c, icalproperty_new_status(ICAL_STATUS_CANCELLED));
  }
  if (item.Recurrence && (item.Start || item.TaskStart)) {
    const std::int64_t first = item.Start ? *item.Start : *item.TaskStart;
    const int month = std::atoi(CompactDate(first).substr(4, 2).c_str());
    const std::string rule = RecurrenceRule(*item.Recurrence, month, item.AllDay || task);
    const icalrecurrencetype recurrence = icalrecurrencetype_from_string(rule.c_str());
    if (recurrence.freq != ICAL_NO_RECURRENCE) icalcomponent_add_property(c, icalproperty_new_rrule(recurrence));
  }

  if (!item.OrganizerName.empty() || !item.OrganizerAddress.empty())
    AddPerson(c, icalproperty_new_organizer(CalAddress(item.OrganizerAddress).c_str()), item.OrganizerName);
  for (const TAttendee& a : item.Attendees) {
    icalproperty* p = icalproperty_new_attendee(CalAddress(a.Address).c_str());
    icalproperty_add_parameter(p, icalparameter_new_role(a.Role == TAttendeeRole::Optional
                                                             ? ICAL_ROLE_OPTPARTICIPANT
                                                         : a.Role == TAttendeeRole::Resource ? ICAL_ROLE_NONPARTICIPANT
                                                                                             : ICAL_ROLE_REQPARTICIPANT));
    if (a.Role == TAttendeeRole::Resource) icalproperty_add_parameter(p, icalparameter_new_cutype(ICAL_CUTYPE_RESOURCE));
    icalproperty_add_parameter(p, icalparameter_new_partstat(PartStat(a.Answer)));
    if (item.Method == TCalendarMethod::Request && item.ResponseRequested)
      icalproperty_add_parameter(p, icalparameter_new_rsvp(ICAL_RSVP_TRUE));
    AddPerson(c, p, a.Name);
  }

  char* text = icalcomponent_as_ical_string_r(calendar.get());
  std::string out = text ? text : "";
  std::free(text);
  return out;
}
