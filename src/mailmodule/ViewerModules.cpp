#include "ViewerModules.h"

#include <memory>

#include "DynamicLibrary.h"
#include "ExecutablePath.h"
#include "TrustedLibrary.h"

#ifndef VELQUIN_LIBDIR
#define VELQUIN_LIBDIR "lib"
#endif

std::string InstalledModulePath(const std::string& fileName) {
  const std::string exe = ExecutablePath();
  const auto slash = exe.rfind('/');
  if (exe.empty() || exe[0] != '/' || slash == std::string::npos) return "";
  const std::string bin = exe.substr(0, slash);
  const auto up = bin.rfind('/');
  const std::string prefix = up == std::string::npos ? "" : bin.substr(0, up);
  return prefix + "/" VELQUIN_LIBDIR "/velquin-reader/" + fileName;
}

void* LoadModuleEntry(const std::string& path, const char* entryName, std::string& reason) {
  reason = TrustedLibraryRefusal(path);
  if (!reason.empty()) return nullptr;
  auto library = std::make_unique<TDynamicLibrary>();
  if (!library->Load(path)) {
    reason = library->LastError();
    return nullptr;
  }
  void* entry = library->Symbol(entryName);
  if (entry == nullptr) {
    reason = entryName;
    return nullptr;
  }
  // Never unloaded (see the header).
  (void)library.release();
  return entry;
}
