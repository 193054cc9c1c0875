#include "PictureModuleLoader.h"

#include "ViewerModules.h"

namespace {

struct TModuleState {
  std::string Override;
  const TPictureModule* Module = nullptr;
};

TModuleState& State() {
  static TModuleState state;
  return state;
}

}  // namespace

void SetPictureModulePath(const std::string& path) { State().Override = path; }

const TPictureModule* PictureModule() {
  TModuleState& state = State();
  if (state.Module != nullptr) return state.Module;
  const std::string path =
      state.Override.empty() ? InstalledModulePath("libvelquin-picture-module.so") : state.Override;
  std::string reason;
  const auto entry = reinterpret_cast<TPictureModuleEntry>(LoadModuleEntry(path, VELQUIN_PICTURE_MODULE_ENTRY, reason));
  if (entry != nullptr) state.Module = entry(kPictureModuleVersion);
  return state.Module;
}
