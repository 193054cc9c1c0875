#pragma once
// The recurrence pattern of an appointment (PidLidAppointmentRecur): how often, on which
// days, and until when. Only the pattern is read; exceptions to single occurrences are
// stepped over.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TRecurrenceFrequency { Daily, Weekly, Monthly, Yearly };

struct TRecurrence {
  TRecurrenceFrequency Frequency = TRecurrenceFrequency::Daily;
  std::uint32_t Interval = 1;   // every Interval days, weeks, months or years
  std::uint32_t DayMask = 0;    // bit 0 Sunday .. bit 6 Saturday (weekly, and "Nth day")
  std::uint32_t MonthDay = 0;   // day of the month, 31 for "the last day"
  std::uint32_t Nth = 0;        // 1 to 4, 5 for "the last" (with DayMask)
  std::uint32_t Count = 0;      // occurrences, 0 when it ends by date or never
  std::optional<std::int64_t> Until;  // the last day, seconds since 1970 UTC
};

// Nothing when the bytes are not a Gregorian pattern this reader knows.
std::optional<TRecurrence> DecodeRecurrence(std::string_view blob);

// The rule in iCalendar's words (RRULE value), e.g. "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE".
// month is the month of the first occurrence (1 to 12), which yearly rules repeat; an end
// date is written as a date for an all-day event, else as the end of that day in UTC.
std::string RecurrenceRule(const TRecurrence& recurrence, int month, bool allDay);

// "YYYYMMDD" of a time in seconds since 1970 UTC.
std::string CompactDate(std::int64_t unixTime);

// The rule in English words, e.g. "every 2 weeks on Monday, Wednesday, 10 times".
std::string RecurrenceWords(const TRecurrence& recurrence, int month);
