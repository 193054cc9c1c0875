#pragma once
// Date-time values as the message model keeps them: a 64-bit float of whole days since
// 30 December 1899 plus the time of day as the fraction of a day (0 means "not set").

#include <cstdint>
#include <optional>
#include <string>

using TDateTime = double;

// The date-time of a calendar date and time, or nothing when they are not valid (year 1 to
// 9999, month 1 to 12, day within the month, hour below 24, minute and second below 60).
std::optional<TDateTime> EncodeDateTime(int year, int month, int day, int hour, int minute,
                                        int second);

// "YYYY-MM-DD HH:MM:SS", or "" for 0 (not set).
std::string DateTimeToIso(TDateTime value);

// Seconds since 1970-01-01 of a value read as UTC; 0 for 0 (not set).
std::int64_t DateTimeToUnix(TDateTime value);
