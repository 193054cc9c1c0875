#include "PrintModuleLoader.h"

#include "Exception.h"
#include "TNEFReaderConst.h"
#include "ViewerModules.h"

namespace {

constexpr const char* kModuleFile = "libvelquin-print-module.so";

struct TModuleState {
  std::string Override;
  const TPrintModule* Module = nullptr;
};

TModuleState& State() {
  static TModuleState state;
  return state;
}

[[noreturn]] void Unavailable(const std::string& path, const std::string& reason) {
  throw Exception(FormatRes(TStringId::PrintModuleMissing, {Arg(path.empty() ? kModuleFile : path), Arg(reason)}));
}

}  // namespace

void SetPrintModulePath(const std::string& path) { State().Override = path; }

const TPrintModule& PrintModule() {
  TModuleState& state = State();
  if (state.Module != nullptr) return *state.Module;
  const std::string path = state.Override.empty() ? InstalledModulePath(kModuleFile) : state.Override;
  std::string reason;
  const auto entry = reinterpret_cast<TPrintModuleEntry>(LoadModuleEntry(path, VELQUIN_PRINT_MODULE_ENTRY, reason));
  if (entry == nullptr) Unavailable(path, reason);
  const TPrintModule* module = entry(kPrintModuleVersion);
  if (module == nullptr) Unavailable(path, "version " + std::to_string(kPrintModuleVersion));
  state.Module = module;
  return *module;
}
