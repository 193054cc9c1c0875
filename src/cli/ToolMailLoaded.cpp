#include "MailModuleLoader.h"
#include "ToolMail.h"

// A missing or refused module raises an Exception that names it and says why, which the
// commands report as they report a file they cannot read.
std::unique_ptr<TMailFile> OpenToolMailFile(const std::string& path) { return MailModule().OpenMailFile(path); }

std::string ToolICalendar(const TCalendarItem& item, const std::string& description, std::int64_t stamp) {
  return MailModule().CalendarItemToICalendar(item, description, stamp);
}
