#include "TempFolder.h"

#include <windows.h>
#include <sddl.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "Exception.h"
#include "TNEFReaderConst.h"
#include "WideText.h"

namespace {

[[noreturn]] void Fail(DWORD error) {
  throw EFileError(FormatRes(TStringId::TempFolderError, {Arg(SystemErrorText(error))}));
}

// A security descriptor whose list grants the current user alone full access, inherited by
// everything made inside and not by anything from above: the Windows form of mode 0700.
class TOwnerOnly {
public:
  TOwnerOnly() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<std::uint8_t> info(size);
    wchar_t* sid = nullptr;
    if (size > 0 && ::GetTokenInformation(token, TokenUser, info.data(), size, &size) &&
        ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid, &sid)) {
      const std::wstring sddl = std::wstring(L"D:P(A;OICI;FA;;;") + sid + L")";
      ::LocalFree(sid);
      ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &FDescriptor, nullptr);
    }
    ::CloseHandle(token);
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

// Removes a folder and what it holds. Links and junctions inside are removed themselves,
// never followed; the depth is capped because only this program made the tree.
void RemoveTree(const std::wstring& folder, int depth) {
  if (depth > 32) return;
  WIN32_FIND_DATAW entry{};
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      if (isFolder && !isLink) RemoveTree(path, depth + 1);
      else if (isFolder) ::RemoveDirectoryW(path.c_str());
      else {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
          ::SetFileAttributesW(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

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
      const std::string path = base + "velquin-" + RandomSuffix();
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
  if (!FPath.empty()) RemoveTree(Widen(FPath), 0);
}

int TPrivateTempFolder::RemoveStaleFolders(const std::string&) {
  // Folders here carry no process id in their names yet, so none can be told stale.
  return 0;
}
