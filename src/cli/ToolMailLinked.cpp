#include "ICalendarWriter.h"
#include "ToolMail.h"

std::unique_ptr<TMailFile> OpenToolMailFile(const std::string& path) { return TMailFile::Open(path); }

std::string ToolICalendar(const TCalendarItem& item, const std::string& description, std::int64_t stamp) {
  return CalendarItemToICalendar(item, description, stamp);
}
