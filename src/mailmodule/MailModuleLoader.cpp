#include "MailModuleLoader.h"

#include "Exception.h"
#include "ViewerModules.h"

namespace {

constexpr const char* kModuleFile = "libvelquin-mail-module.so";

struct TModuleState {
  std::string Override;
  const TMailModule* Module = nullptr;
};

TModuleState& State() {
  static TModuleState state;
  return state;
}

std::string HostLoadString(TStringId id) { return LoadResString(id); }

[[noreturn]] void Unavailable(const std::string& path, const std::string& reason) {
  throw Exception(FormatRes(TStringId::MailModuleMissing, {Arg(path.empty() ? kModuleFile : path), Arg(reason)}));
}

}  // namespace

std::string MailModulePath() {
  return State().Override.empty() ? InstalledModulePath(kModuleFile) : State().Override;
}

void SetMailModulePath(const std::string& path) { State().Override = path; }

const TMailModule& MailModule() {
  TModuleState& state = State();
  if (state.Module != nullptr) return *state.Module;
  const std::string path = MailModulePath();
  std::string reason;
  const auto entry = reinterpret_cast<TMailModuleEntry>(LoadModuleEntry(path, VELQUIN_MAIL_MODULE_ENTRY, reason));
  if (entry == nullptr) Unavailable(path, reason);
  static const TMailModuleHost host{kMailModuleVersion, &HostLoadString};
  const TMailModule* module = entry(&host);
  if (module == nullptr) Unavailable(path, "version " + std::to_string(kMailModuleVersion));
  state.Module = module;
  return *module;
}
