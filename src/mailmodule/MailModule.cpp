// The mail and calendar module: GMime's mail parser and libical's writer behind the
// viewer's TMailModule interface. Everything in it is hidden except the entry point.
#include "MailModule.h"

#include "ICalendarWriter.h"

namespace {

class TLoadedMailModule final : public TMailModule {
public:
  std::unique_ptr<TMailFile> OpenMailFile(const std::string& path) const override { return TMailFile::Open(path); }
  std::string CalendarItemToICalendar(const TCalendarItem& item, const std::string& description,
                                      std::int64_t stamp) const override {
    return ::CalendarItemToICalendar(item, description, stamp);
  }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TMailModule* velquin_mail_module(const TMailModuleHost* host) {
  if (host == nullptr || host->Version != kMailModuleVersion || host->LoadString == nullptr) return nullptr;
  // The module carries its own copy of the string table; its texts go through the viewer's,
  // which knows the chosen language.
  const auto load = host->LoadString;
  SetTranslationHook([load](TStringId id, std::string_view) { return load(id); });
  static const TLoadedMailModule module;
  return &module;
}
