// The iCalendar export of the Windows build. libical has no MinGW-w64 build in Debian, so
// this build shows calendar items (velquin-tnef show) but does not write them as iCalendar.
#include "Exception.h"
#include "ICalendarWriter.h"
#include "TNEFReaderConst.h"

std::string CalendarItemToICalendar(const TCalendarItem&, const std::string&, std::int64_t) {
  throw Exception(LoadResString(TStringId::CalendarNotInBuild));
}
