// On Windows the registry itself is the store: every "store path" names one of its trees,
// and the registry store (win32/RegistryStore.cpp) opens that tree whatever the name.
#include <cstdlib>

#include "StoreLocations.h"
#include "WideText.h"

namespace {

std::string EnvironmentFolder(const wchar_t* name) {
  const wchar_t* value = ::_wgetenv(name);
  return value ? Narrow(value) : std::string();
}

}  // namespace

std::string UserConfigHome() { return EnvironmentFolder(L"APPDATA"); }
std::string UserDataHome() { return EnvironmentFolder(L"LOCALAPPDATA"); }

std::string UserStorePath() { return "HKEY_CURRENT_USER"; }
std::vector<std::string> MachineStorePaths() { return {"HKEY_LOCAL_MACHINE"}; }
std::string MachineWriteStorePath() { return "HKEY_LOCAL_MACHINE"; }

// The registry does not depend on the executable's folder.
void SetExecutableFolderForStores(std::optional<std::string>) {}
