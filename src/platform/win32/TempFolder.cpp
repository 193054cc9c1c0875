#include "TempFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "Exception.h"
#include "TNEFReaderConst.h"
#include "TempFolderName.h"
#include "WideText.h"

namespace {

[[noreturn]] void Fail(DWORD error) {
  throw EFileError(FormatRes(TStringId::TempFolderError, {Arg(SystemErrorText(error))}));
}

// The current user's SID, in a buffer of its own (empty when the token cannot be read).
std::vector<std::uint8_t> CurrentUser() {
  std::vector<std::uint8_t> info;
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return info;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  info.resize(size);
  if (size == 0 || !::GetTokenInformation(token, TokenUser, info.data(), size, &size)) info.clear();
  ::CloseHandle(token);
  return info;
}

PSID UserSid(std::vector<std::uint8_t>& user) {
  return user.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

// A security descriptor whose list grants the current user alone full access, inherited by
// everything made inside and not by anything from above: the Windows form of mode 0700.
class TOwnerOnly {
public:
  TOwnerOnly() {
    std::vector<std::uint8_t> user = CurrentUser();
    wchar_t* sid = nullptr;
    if (UserSid(user) && ::ConvertSidToStringSidW(UserSid(user), &sid)) {
      const std::wstring sddl = std::wstring(L"D:P(A;OICI;FA;;;") + sid + L")";
      ::LocalFree(sid);
      ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &FDescriptor, nullptr);
    }
  }
  ~TOwnerOnly() {
    if (FDescriptor) ::LocalFree(FDescriptor);
  }
  TOwnerOnly(const TOwnerOnly&) = delete;
  TOwnerOnly& operator=(const TOwnerOnly&) = delete;

  // Attributes for CreateDirectoryW; nullptr when the descriptor could not be made.
  SECURITY_ATTRIBUTES* Attributes() {
    if (!FDescriptor) return nullptr;
    FAttributes = SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), FDescriptor, FALSE};
    return &FAttributes;
  }

private:
  PSECURITY_DESCRIPTOR FDescriptor = nullptr;
  SECURITY_ATTRIBUTES FAttributes{};
};

std::string RandomSuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string s(8, 'x');
  for (char& c : s) c = kLetters[generator() % (sizeof kLetters - 1)];
  return s;
}

// Removes what a folder holds. Links and junctions inside are removed themselves, never
// followed; the depth is capped because only this program made the tree. Returns false
// when something stayed.
bool RemoveContents(const std::wstring& folder, int depth) {
  if (depth > 32) return false;
  bool all = true;
  WIN32_FIND_DATAW entry{};
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (isFolder && !isLink) {
      if (!RemoveContents(path, depth + 1) || !::RemoveDirectoryW(path.c_str())) all = false;
    } else if (isFolder) {
      if (!::RemoveDirectoryW(path.c_str())) all = false;
    } else {
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
      if (!::DeleteFileW(path.c_str())) all = false;
    }
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  return all;
}

// Whether the process with this id has ended. OpenProcess refuses an id that names no
// process with ERROR_INVALID_PARAMETER; a process of another user (access denied) is alive,
// and an id reused since only keeps the folder for a later start.
bool ProcessIsGone(DWORD pid) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return ::GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool ended = ::GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  ::CloseHandle(process);
  return ended;
}

// Whether the folder open as handle is a real folder (no reparse point) owned by user.
bool IsOwnRealFolder(HANDLE handle, PSID user) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return false;
  if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
    return false;
  const bool own = owner != nullptr && ::EqualSid(owner, user);
  ::LocalFree(descriptor);
  return own;
}

}  // namespace

int TPrivateTempFolder::RemoveStaleFolders(const std::string& folder) {
  std::wstring base = Widen(folder.empty() ? SystemTempDir() : folder);
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  std::vector<std::uint8_t> user = CurrentUser();
  if (!UserSid(user)) return 0;
  std::vector<std::wstring> candidates;
  WIN32_FIND_DATAW entry{};
  HANDLE find = ::FindFirstFileW((base + Widen(kNamePrefix) + L"*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const long pid = PidInTempFolderName(Narrow(entry.cFileName));
    if (pid != 0 && static_cast<DWORD>(pid) != ::GetCurrentProcessId() && ProcessIsGone(static_cast<DWORD>(pid)))
      candidates.emplace_back(entry.cFileName);
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);

  int removed = 0;
  for (const std::wstring& name : candidates) {
    const std::wstring path = base + name;
    // Opened as itself, never through a link, and held without sharing the right to delete
    // or rename it: the folder checked is the one emptied, not one put in its place.
    HANDLE handle = ::CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr);
    if (handle == INVALID_HANDLE_VALUE) continue;
    const bool emptied = IsOwnRealFolder(handle, UserSid(user)) && RemoveContents(path, 0);
    ::CloseHandle(handle);
    if (emptied && ::RemoveDirectoryW(path.c_str())) ++removed;
  }
  return removed;
}

std::string TPrivateTempFolder::SystemTempDir() {
  // GetTempPath2W gives a process running as SYSTEM a folder of its own; older systems
  // only have GetTempPathW.
  using TGetTempPath = DWORD(WINAPI*)(DWORD, LPWSTR);
  static const auto getTempPath2 = reinterpret_cast<TGetTempPath>(reinterpret_cast<std::uintptr_t>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTempPath2W")));
  wchar_t buffer[MAX_PATH + 2] = {};
  const DWORD n = getTempPath2 ? getTempPath2(MAX_PATH + 1, buffer) : ::GetTempPathW(MAX_PATH + 1, buffer);
  std::wstring dir(buffer, n > MAX_PATH + 1 ? 0 : n);
  while (dir.size() > 3 && (dir.back() == L'\\' || dir.back() == L'/')) dir.pop_back();
  return dir.empty() ? "C:\\Windows\\Temp" : Narrow(dir);
}

const std::string& TPrivateTempFolder::Path() {
  if (FPath.empty()) {
    std::string base = SystemTempDir();
    if (base.back() != '\\' && base.back() != '/') base += '\\';
    TOwnerOnly security;
    DWORD error = ERROR_ALREADY_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_ALREADY_EXISTS; ++attempt) {
      const std::string path = base + kNamePrefix + std::to_string(::GetCurrentProcessId()) + "-" + RandomSuffix();
      if (::CreateDirectoryW(Widen(path).c_str(), security.Attributes())) {
        FPath = path;
        return FPath;
      }
      error = ::GetLastError();
    }
    Fail(error);
  }
  return FPath;
}

std::string TPrivateTempFolder::SubFolder(const std::string& name) {
  std::string path = Path() + "\\" + name;
  // Inherits the folder's owner-only list.
  if (!::CreateDirectoryW(Widen(path).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
    Fail(::GetLastError());
  return path;
}

TPrivateTempFolder::~TPrivateTempFolder() {
  if (FPath.empty()) return;
  const std::wstring path = Widen(FPath);
  RemoveContents(path, 0);
  ::RemoveDirectoryW(path.c_str());
}
