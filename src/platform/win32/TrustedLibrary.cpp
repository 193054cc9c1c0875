#include "TrustedLibrary.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "SafeFileName.h"
#include "TNEFReaderConst.h"
#include "WideText.h"

namespace {

std::string FolderOf(const std::string& path) {
  const auto cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(0, cut == 2 ? 3 : cut);
}

// Groups that take in other users: Everyone, Authenticated Users, Users, Interactive.
bool IsBroadGroup(PSID sid) {
  for (const wchar_t* name : {L"S-1-1-0", L"S-1-5-11", L"S-1-5-32-545", L"S-1-5-4"}) {
    PSID group = nullptr;
    if (!::ConvertStringSidToSidW(name, &group)) continue;
    const bool same = ::EqualSid(sid, group) != FALSE;
    ::LocalFree(group);
    if (same) return true;
  }
  return false;
}

constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER |
                                     GENERIC_WRITE | GENERIC_ALL | DELETE;

// Whether the access list lets other users change the file or folder: no list at all, or an
// entry that grants a broad group a right to write.
bool WritableByOthers(const std::string& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(Widen(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;  // a missing file is reported by the loader itself
  bool writable = dacl == nullptr;
  for (DWORD i = 0; dacl && i < dacl->AceCount && !writable; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    const auto* header = static_cast<ACE_HEADER*>(ace);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if ((allowed->Mask & kWriteRights) && IsBroadGroup(const_cast<DWORD*>(&allowed->SidStart)))
      writable = true;
  }
  ::LocalFree(descriptor);
  return writable;
}

}  // namespace

std::string TrustedLibraryRefusal(const std::string& path) {
  if (path.empty()) return LoadResString(TStringId::MapiLibraryNotSet);
  // A bare name, "C:name" or "\name" would be looked for relative to a current folder.
  if (!IsFullPath(path)) return FormatRes(TStringId::MapiLibraryNotFullPath, {Arg(path)});
  for (const std::string& candidate : {path, FolderOf(path)})
    if (WritableByOthers(candidate)) return FormatRes(TStringId::MapiLibraryWritableByOthers, {Arg(path)});
  return "";
}
