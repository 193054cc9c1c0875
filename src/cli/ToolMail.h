#pragma once
// The tool's mail and iCalendar code (GMime, libical). Binding those libraries and the ones
// below them (GLib, ICU) costs about 15 ms at every start of a program that links them, more
// than listing a TNEF stream takes; so on Linux the tool loads them on first use, from the
// viewer's mail module, and the commands that read no mail and write no iCalendar never
// pay for them. The Windows build links them in: its libraries are static.

#include <cstdint>
#include <memory>
#include <string>

#include "CalendarItem.h"
#include "MailFile.h"

// TMailFile::Open.
std::unique_ptr<TMailFile> OpenToolMailFile(const std::string& path);
// CalendarItemToICalendar.
std::string ToolICalendar(const TCalendarItem& item, const std::string& description, std::int64_t stamp);
