#pragma once
// The calendar side of a message: a meeting request, reply or cancellation, an appointment
// or a task, gathered from TNEF attributes (attDateStart, attDateEnd, attOwner,
// attRequestRes), from the named properties of the appointment, meeting and task property
// sets, and from the recipient table.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MapiAttrs.h"
#include "Recipients.h"
#include "Recurrence.h"

enum class TCalendarKind { None, Event, Task };
// What the item asks of its receiver, as iCalendar's METHOD names it.
enum class TCalendarMethod { Publish, Request, Reply, Cancel };
enum class TCalendarAnswer { None, Accepted, Tentative, Declined };
enum class TAttendeeRole { Required, Optional, Resource };
// PidLidTaskStatus.
enum class TTaskStatus { NotStarted, InProgress, Completed, Waiting, Deferred };

struct TAttendee {
  std::string Name;     // UTF-8
  std::string Address;  // UTF-8, empty when only the name is known
  TAttendeeRole Role = TAttendeeRole::Required;
  TCalendarAnswer Answer = TCalendarAnswer::None;
};

// Times are seconds since 1970-01-01 UTC.
struct TCalendarItem {
  TCalendarKind Kind = TCalendarKind::None;
  TCalendarMethod Method = TCalendarMethod::Publish;
  std::string Summary;  // UTF-8
  std::optional<std::int64_t> Start;
  std::optional<std::int64_t> End;
  // An all-day event: Start and End are the first and the day after the last day, at
  // 00:00 UTC of those dates.
  bool AllDay = false;
  std::string Location;
  std::string OrganizerName;
  std::string OrganizerAddress;
  std::vector<TAttendee> Attendees;
  // The writer's own words for the recurrence, else ours; empty when it does not recur.
  std::string RecurrenceText;
  std::optional<TRecurrence> Recurrence;
  TCalendarAnswer Answer = TCalendarAnswer::None;  // of a reply
  std::string Uid;      // the global object id in hexadecimal
  std::int32_t Sequence = 0;
  bool ResponseRequested = false;
  // Tasks.
  std::optional<std::int64_t> TaskStart;
  std::optional<std::int64_t> TaskDue;
  std::optional<TTaskStatus> Status;
  std::optional<double> PercentComplete;  // 0 to 1

  bool IsCalendarItem() const { return Kind != TCalendarKind::None; }
};

// Collects what the reader walks past and makes the item at the end. Every value is kept
// at most once (a later one replaces an earlier), so the collector holds no more than a
// fixed number of strings, each no longer than the bytes that held it.
class TCalendarCollector {
public:
  // A TNEF attribute at message level (only the calendar ones are looked at).
  void Attribute(std::uint32_t id, std::string_view data);
  // A property of the message block; name is nullptr for one that is not named.
  void Property(std::uint32_t tag, const TPropName* name, std::string_view value);
  // The item, once the whole message has been read. Eight-bit texts use codePage.
  TCalendarItem Finish(const std::string& messageClass, const std::string& subject,
                       const std::vector<TRecipient>& recipients, unsigned codePage) const;

private:
  struct TText {
    std::string Bytes;
    bool Wide = false;
  };
  std::optional<std::int64_t> FAttStart, FAttEnd, FStartWhole, FEndWhole, FStartDate, FEndDate;
  std::optional<std::int64_t> FTaskStart, FTaskDue;
  std::optional<bool> FAllDay, FRecurring, FTaskComplete;
  std::optional<std::int32_t> FTaskStatus, FSequence, FResponseStatus;
  std::optional<double> FPercent;
  TText FLocation, FWhere, FRecurrencePattern, FToAttendees, FCcAttendees;
  TText FOrganizerName, FOrganizerAddress, FOrganizerAddressType, FOrganizerSmtp;
  std::string FOwnerName, FOwnerAddress;  // of attOwner, eight-bit
  std::string FRecurrenceBlob, FGlobalObjectId;
  bool FResponseRequested = false;
};

// Seconds since 1970 of a FILETIME (100-ns ticks since 1601), nothing for 0 or a value
// outside years 1601 to 9999 (writers use 4500-08-31 for "never").
std::optional<std::int64_t> FileTimeToUnix(std::uint64_t fileTime);
