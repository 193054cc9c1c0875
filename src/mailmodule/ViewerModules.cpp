#include "ViewerModules.h"

#include <memory>

#include "DynamicLibrary.h"
#include "ExecutablePath.h"
#include "TrustedLibrary.h"

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
