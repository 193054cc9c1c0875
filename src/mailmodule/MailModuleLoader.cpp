#include "MailModuleLoader.h"

#include <memory>

#include "DynamicLibrary.h"
#include "Exception.h"
#include "ExecutablePath.h"
#include "TrustedLibrary.h"

#ifndef VELQUIN_LIBDIR
#define VELQUIN_LIBDIR "lib"
#endif

namespace {

constexpr const char* kModuleFile = "libvelquin-mail-module.so";

struct TModuleState {
  std::string Override;
  // Never unloaded: mail files the module made may live until the program ends.
  TDynamicLibrary* Library = nullptr;
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
  if (!State().Override.empty()) return State().Override;
  const std::string exe = ExecutablePath();
  const auto slash = exe.rfind('/');
  if (exe.empty() || exe[0] != '/' || slash == std::string::npos) return "";
  const std::string bin = exe.substr(0, slash);
  const auto up = bin.rfind('/');
  const std::string prefix = up == std::string::npos ? "" : bin.substr(0, up);
  return prefix + "/" VELQUIN_LIBDIR "/velquin-reader/" + kModuleFile;
}

void SetMailModulePath(const std::string& path) { State().Override = path; }

const TMailModule& MailModule() {
  TModuleState& state = State();
  if (state.Module != nullptr) return *state.Module;
  const std::string path = MailModulePath();
  if (const std::string refusal = TrustedLibraryRefusal(path); !refusal.empty()) Unavailable(path, refusal);
  auto library = std::make_unique<TDynamicLibrary>();
  if (!library->Load(path)) Unavailable(path, library->LastError());
  const auto entry = reinterpret_cast<TMailModuleEntry>(library->Symbol(VELQUIN_MAIL_MODULE_ENTRY));
  if (entry == nullptr) Unavailable(path, VELQUIN_MAIL_MODULE_ENTRY);
  static const TMailModuleHost host{kMailModuleVersion, &HostLoadString};
  const TMailModule* module = entry(&host);
  if (module == nullptr) Unavailable(path, "version " + std::to_string(kMailModuleVersion));
  state.Library = library.release();
  state.Module = module;
  return *module;
}
