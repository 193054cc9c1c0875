#include "MapiHelper.h"

#include "ExecutablePath.h"
#include "Registry.h"
#include "SafeFileName.h"

namespace {

// The installed-test reads "MAPI" into a 9-byte buffer: data that does not fit (a string of
// more than 8 characters with its NUL) counts as unreadable, so as "not installed".
constexpr std::size_t kMapiValueBuffer = 9;
// "DLLPathEx" is read into a 4096-byte buffer; a longer value does not read.
constexpr std::size_t kDllPathBuffer = 4096;

std::string UpToNul(const std::string& s) { return s.substr(0, s.find('\0')); }

}  // namespace

std::string TMapiHelper::GetMapi32Path() {
  // Linux has no system versions before the installed-test of "MAPI" existed, so that test
  // is always the registry one.
  std::string result;
  bool installed = false;
  try {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows Messaging Subsystem")) return "";
    const auto mapi = registry.GetData("MAPI");
    // The value's registry type is not looked at: only its bytes count.
    if (!mapi || mapi->Data.size() > kMapiValueBuffer || UpToNul(mapi->Data) != "1") return "";
    installed = true;
    registry.CloseKey();

    if (registry.OpenKeyReadOnly("SOFTWARE\\Clients\\Mail\\Microsoft Outlook")) {
      const auto path = registry.GetData("DLLPathEx");
      if (path && path->Data.size() <= kDllPathBuffer) result = UpToNul(path->Data);
    }
  } catch (...) {
    // Never raises: a registry that cannot be read counts as the value being absent.
  }
  if (!installed) return "";
  if (result.empty()) result = "Mapi32.dll";
  return result;
}

std::string TMapiHelper::ResolveMapi32Path(const std::string& userChoice) {
  if (!userChoice.empty()) return userChoice;
  const std::string machine = GetMapi32Path();
  if (IsFullPath(machine)) return machine;
  const std::string installed = InstalledMailLibrary();
  return installed.empty() ? machine : installed;
}
