#pragma once
// The calendar lines of `show`: when, where, who, in plain English for terminals and
// scripts (times in UTC, so the output does not depend on the machine's zone).

#include <ostream>

#include "CalendarItem.h"

// "2013-01-21 10:00 UTC", or "2013-01-21" for a date.
std::string UtcText(std::int64_t unixTime, bool dateOnly);
// The When line's text: start and end, or the days of an all-day event.
std::string WhenText(const TCalendarItem& item);
// "Name <address> (required, accepted)" for every attendee, joined by "; ".
std::string AttendeesText(const TCalendarItem& item);
std::string OrganizerText(const TCalendarItem& item);
const char* AnswerText(TCalendarAnswer answer);
const char* StatusText(TTaskStatus status);

// The lines, each "Name: value"; nothing for a message that is no calendar item.
// field turns a file's text into a safe one-line field.
void WriteCalendarLines(const TCalendarItem& item, std::ostream& out,
                        std::string (*field)(const std::string&));
// The same as JSON members, each starting with a comma.
void WriteCalendarJson(const TCalendarItem& item, std::ostream& out);
