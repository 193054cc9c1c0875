#include "DateTime.h"

#include <cmath>
#include <cstdio>

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days from 0001-01-01 to the given date (proleptic Gregorian calendar).
long DaysFromCivil(int y, int m, int d) {
  long days = 0;
  const long py = y - 1;
  days += py * 365 + py / 4 - py / 100 + py / 400;
  for (int k = 1; k < m; ++k) days += DaysInMonth(y, k);
  return days + d - 1;
}

const long kEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

std::optional<TDateTime> EncodeDateTime(int year, int month, int day, int hour, int minute,
                                        int second) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59)
    return std::nullopt;
  const double date = static_cast<double>(DaysFromCivil(year, month, day) - kEpoch);
  const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
  // Before the epoch the fraction counts forward from the whole day, away from zero.
  return date >= 0 ? date + time : date - time;
}

std::string DateTimeToIso(TDateTime value) {
  if (value == 0 || !std::isfinite(value)) return "";
  double whole = std::trunc(value);
  double fraction = std::fabs(value - whole);
  long seconds = std::lround(fraction * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    whole += value >= 0 ? 1 : -1;
  }
  long days = static_cast<long>(whole) + kEpoch;  // days since 0001-01-01
  if (days < 0) return "";
  int year = 1;
  while (true) {
    const int inYear = IsLeap(year) ? 366 : 365;
    if (days < inYear) break;
    days -= inYear;
    ++year;
  }
  int month = 1;
  while (days >= DaysInMonth(year, month)) days -= DaysInMonth(year, month++);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02ld:%02ld:%02ld", year, month,
                static_cast<int>(days) + 1, seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

std::int64_t DateTimeToUnix(TDateTime value) {
  if (value == 0 || !std::isfinite(value) || std::fabs(value) > 3e6) return 0;
  // Days before 1899-12-30 count the time of day away from zero (see EncodeDateTime).
  const double whole = std::trunc(value);
  const double days = whole + std::fabs(value - whole);
  return std::llround((days - 25569.0) * 86400.0);  // 25569: days from 1899-12-30 to 1970-01-01
}
