#include "FileStream.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "Exception.h"
#include "TNEFReaderConst.h"
#include "WideText.h"

namespace {
[[noreturn]] void Fail(TStringId id, const std::string& path, const std::string& reason) {
  throw EFileError(FormatRes(id, {Arg(path), Arg(reason)}));
}

}  // namespace

TFileStream::TFileStream(const std::string& path) : FPath(path) {
  // Others may read, write or rename the file meanwhile, as they may on Linux.
  FFd = ::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FFd == INVALID_HANDLE_VALUE) Fail(TStringId::FileOpenError, path, LastErrorText());
  BY_HANDLE_FILE_INFORMATION info{};
  LARGE_INTEGER size{};
  if (!::GetFileInformationByHandle(FFd, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !::GetFileSizeEx(FFd, &size)) {
    const DWORD error = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_DIRECTORY
                                                                           : ::GetLastError();
    ::CloseHandle(FFd);
    FFd = kNoFile;
    Fail(TStringId::FileOpenError, path, SystemErrorText(error));
  }
  FSize = size.QuadPart;
}

TFileStream::~TFileStream() {
  if (FFd != kNoFile) ::CloseHandle(FFd);
}

// The handle's own position is never relied on.
std::size_t TFileStream::ReadSomeAt(std::int64_t offset, void* buffer, std::size_t count) const {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
  if (!::ReadFile(FFd, buffer, want, &got, &at)) {
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    Fail(TStringId::FileReadError, FPath, LastErrorText());
  }
  return got;
}
