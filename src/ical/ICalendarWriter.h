#pragma once
// Writes a calendar item as an iCalendar object (RFC 5545) that calendar programs import:
// a VEVENT or VTODO inside a VCALENDAR whose METHOD says what the item asks for.

#include <cstdint>
#include <string>

#include "CalendarItem.h"

// The iCalendar text with CRLF line ends. description is the body as plain text (UTF-8);
// stamp is when the item was made or sent, seconds since 1970 UTC (0: now). Raises
// Exception when item is not a calendar item.
std::string CalendarItemToICalendar(const TCalendarItem& item, const std::string& description,
                                    std::int64_t stamp);
