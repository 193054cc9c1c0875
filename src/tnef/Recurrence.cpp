#include "Recurrence.h"

#include <cstdio>

#include "ByteReader.h"

namespace {

// RecurFrequency and PatternType values of the published calendar format.
constexpr std::uint16_t kFrequencyDaily = 0x200A;
constexpr std::uint16_t kFrequencyWeekly = 0x200B;
constexpr std::uint16_t kFrequencyMonthly = 0x200C;
constexpr std::uint16_t kFrequencyYearly = 0x200D;
constexpr std::uint16_t kPatternDay = 0x0000;
constexpr std::uint16_t kPatternWeek = 0x0001;
constexpr std::uint16_t kPatternMonth = 0x0002;
constexpr std::uint16_t kPatternMonthEnd = 0x0003;
constexpr std::uint16_t kPatternMonthNth = 0x0004;
constexpr std::uint32_t kEndAfterDate = 0x2021;
constexpr std::uint32_t kEndAfterCount = 0x2022;

constexpr std::int64_t kMinutesFrom1601To1970 = 11644473600LL / 60;

const char* const kDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
const char* const kDayCodes[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
const char* const kOrdinals[5] = {"first", "second", "third", "fourth", "last"};

std::string DayList(std::uint32_t mask, const char* const* names, const char* separator) {
  std::string out;
  for (int d = 0; d < 7; ++d) {
    if (!(mask & (1u << d))) continue;
    if (!out.empty()) out += separator;
    out += names[d];
  }
  return out;
}

std::string Every(std::uint32_t interval, const char* unit) {
  if (interval <= 1) return std::string("every ") + unit;
  return "every " + std::to_string(interval) + " " + unit + "s";
}

std::string MonthName(int month) { return month >= 1 && month <= 12 ? kMonthNames[month - 1] : ""; }

}  // namespace

std::optional<TRecurrence> DecodeRecurrence(std::string_view blob) {
  TByteReader r(blob);
  if (r.Remaining() < 22) return std::nullopt;
  r.Skip(4);  // reader and writer versions
  const std::uint16_t frequency = r.U16();
  const std::uint16_t pattern = r.U16();
  const std::uint16_t calendar = r.U16();
  r.Skip(4);  // FirstDateTime
  const std::uint32_t period = r.U32();
  r.Skip(4);  // SlidingFlag
  // Only the Gregorian calendar: the others need their own month arithmetic.
  if (calendar != 0 && calendar != 1) return std::nullopt;

  TRecurrence rec;
  const auto need = [&](std::size_t n) { return r.Remaining() >= n; };
  switch (frequency) {
    case kFrequencyDaily:
      if (pattern != kPatternDay && pattern != kPatternWeek) return std::nullopt;
      rec.Frequency = pattern == kPatternWeek ? TRecurrenceFrequency::Weekly : TRecurrenceFrequency::Daily;
      // A daily pattern counts minutes; "every weekday" is a weekly pattern of one week.
      rec.Interval = pattern == kPatternDay ? period / 1440 : 1;
      break;
    case kFrequencyWeekly: rec.Frequency = TRecurrenceFrequency::Weekly; rec.Interval = period; break;
    case kFrequencyMonthly: rec.Frequency = TRecurrenceFrequency::Monthly; rec.Interval = period; break;
    case kFrequencyYearly: rec.Frequency = TRecurrenceFrequency::Yearly; rec.Interval = period / 12; break;
    default: return std::nullopt;
  }
  switch (pattern) {
    case kPatternDay: break;
    case kPatternWeek:
      if (!need(4)) return std::nullopt;
      rec.DayMask = r.U32() & 0x7F;
      break;
    case kPatternMonth:
    case kPatternMonthEnd:
      if (!need(4)) return std::nullopt;
      rec.MonthDay = r.U32();
      if (pattern == kPatternMonthEnd || rec.MonthDay > 31) rec.MonthDay = 31;
      break;
    case kPatternMonthNth:
      if (!need(8)) return std::nullopt;
      rec.DayMask = r.U32() & 0x7F;
      rec.Nth = r.U32();
      if (rec.Nth < 1 || rec.Nth > 5) return std::nullopt;
      break;
    default: return std::nullopt;
  }
  if (rec.Interval == 0) rec.Interval = 1;
  if (!need(12)) return std::nullopt;
  const std::uint32_t endType = r.U32();
  const std::uint32_t count = r.U32();
  r.Skip(4);  // FirstDOW
  // The deleted and the modified dates, stepped over; each count is checked against the
  // bytes that remain before it moves the walk.
  for (int list = 0; list < 2; ++list) {
    if (!need(4)) return std::nullopt;
    const std::uint32_t n = r.U32();
    if (n > r.Remaining() / 4) return std::nullopt;
    r.Skip(static_cast<std::size_t>(n) * 4);
  }
  if (!need(8)) return std::nullopt;
  r.Skip(4);  // StartDate
  const std::uint32_t endDate = r.U32();
  if (endType == kEndAfterCount) rec.Count = count;
  if (endType == kEndAfterDate || (endType == kEndAfterCount && count == 0))
    rec.Until = (static_cast<std::int64_t>(endDate) - kMinutesFrom1601To1970) * 60;
  return rec;
}

std::string CompactDate(std::int64_t unixTime) {
  // Days since 1970 to a civil date of the proleptic Gregorian calendar, by 400-year eras.
  std::int64_t z = (unixTime >= 0 ? unixTime : unixTime - 86399) / 86400 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t y = yoe + era * 400 + (m <= 2);
  char text[80];
  std::snprintf(text, sizeof text, "%04lld%02lld%02lld", static_cast<long long>(y), static_cast<long long>(m),
                static_cast<long long>(d));
  return text;
}

std::string RecurrenceRule(const TRecurrence& rec, int month, bool allDay) {
  static const char* const kFrequencies[] = {"DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
  std::string rule = std::string("FREQ=") + kFrequencies[static_cast<int>(rec.Frequency)];
  if (rec.Interval > 1) rule += ";INTERVAL=" + std::to_string(rec.Interval);
  if (rec.Frequency == TRecurrenceFrequency::Yearly && month >= 1 && month <= 12)
    rule += ";BYMONTH=" + std::to_string(month);
  if (rec.DayMask) rule += ";BYDAY=" + DayList(rec.DayMask, kDayCodes, ",");
  if (rec.Nth) rule += ";BYSETPOS=" + std::string(rec.Nth == 5 ? "-1" : std::to_string(rec.Nth));
  if (rec.MonthDay) rule += ";BYMONTHDAY=" + std::string(rec.MonthDay == 31 ? "-1" : std::to_string(rec.MonthDay));
  if (rec.Count) rule += ";COUNT=" + std::to_string(rec.Count);
  else if (rec.Until) rule += ";UNTIL=" + CompactDate(*rec.Until) + (allDay ? "" : "T235959Z");
  return rule;
}

std::string RecurrenceWords(const TRecurrence& rec, int month) {
  std::string words;
  const std::string day = rec.MonthDay == 31 ? std::string("the last day") : "day " + std::to_string(rec.MonthDay);
  const std::string nth =
      rec.Nth ? std::string("the ") + kOrdinals[rec.Nth - 1] + " " + DayList(rec.DayMask, kDayNames, " or ") : "";
  switch (rec.Frequency) {
    case TRecurrenceFrequency::Daily: words = Every(rec.Interval, "day"); break;
    case TRecurrenceFrequency::Weekly:
      words = Every(rec.Interval, "week");
      if (rec.DayMask) words += " on " + DayList(rec.DayMask, kDayNames, ", ");
      break;
    case TRecurrenceFrequency::Monthly:
      words = Every(rec.Interval, "month") + " on " + (rec.Nth ? nth : day);
      break;
    case TRecurrenceFrequency::Yearly:
      words = Every(rec.Interval, "year") + " on " +
              (rec.Nth ? nth + " of " + MonthName(month)
                       : (rec.MonthDay == 31 ? "the last day of " + MonthName(month)
                                             : MonthName(month) + " " + std::to_string(rec.MonthDay)));
      break;
  }
  if (rec.Count) words += ", " + std::to_string(rec.Count) + (rec.Count == 1 ? " time" : " times");
  return words;
}
