#pragma once
// What the viewer (and the CLI on Linux) asks of the mail and calendar module: the code that
// links GMime and libical, loaded with dlopen on first use so that a start without a mail
// loads neither library. Both sides are built from this tree; the version guards against a
// stale module.

#include <cstdint>
#include <memory>
#include <string>

#include "CalendarItem.h"
#include "MailFile.h"
#include "TNEFReaderConst.h"

// Raised whenever this interface or a type it passes (TMailFile, TMailEntry, TCalendarItem)
// changes.
constexpr int kMailModuleVersion = 1;

class TMailModule {
public:
  // TMailFile::Open inside the module.
  virtual std::unique_ptr<TMailFile> OpenMailFile(const std::string& path) const = 0;
  // CalendarItemToICalendar inside the module.
  virtual std::string CalendarItemToICalendar(const TCalendarItem& item, const std::string& description,
                                              std::int64_t stamp) const = 0;

protected:
  ~TMailModule() = default;
};

// What the viewer lends the module: its string table, so that the module's messages come
// in the language the user chose.
struct TMailModuleHost {
  int Version;
  std::string (*LoadString)(TStringId id);
};

// The module's one exported symbol. It returns nullptr when host->Version is not the
// module's own, and the module's single instance otherwise.
#define VELQUIN_MAIL_MODULE_ENTRY "velquin_mail_module"
extern "C" {
using TMailModuleEntry = const TMailModule* (*)(const TMailModuleHost* host);
}
