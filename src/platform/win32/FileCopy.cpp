#include "FileCopy.h"

#include <windows.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "Exception.h"
#include "TNEFReaderConst.h"
#include "WideText.h"

namespace {

constexpr std::size_t kCopyBlock = 1024 * 1024;

[[noreturn]] void Fail(TStringId id, const std::string& path, const std::string& reason) {
  throw EFileError(FormatRes(id, {Arg(path), Arg(reason)}));
}
[[noreturn]] void FailWithLastError(TStringId id, const std::string& path) {
  Fail(id, path, LastErrorText());
}

// Splits a target path into its folder ("" when it names none) and its last part; Windows
// takes either slash, and "C:name" is a name in the current folder of drive C.
std::pair<std::string, std::string> SplitTarget(const std::string& path) {
  auto cut = path.find_last_of("/\\");
  if (cut == std::string::npos && path.size() >= 2 && path[1] == ':') cut = 1;
  if (cut == std::string::npos) return {"", path};
  return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

// A short random suffix for a temporary name; not a secret, only unlikely to be taken.
std::string RandomSuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string s(10, 'x');
  for (char& c : s) c = kLetters[generator() % (sizeof kLetters - 1)];
  return s;
}

// CREATE_NEW never opens what already stands at a name, a file or a link planted by
// someone else; so nothing is ever written through a link.
HANDLE CreateNew(const std::string& path) {
  return ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool NameTaken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

// The file being written. A replacement is written under a temporary name in the same
// folder and moved over the old name only once it is complete, so a failed write leaves the
// old file as it was, and a link standing at the name is replaced itself, not followed.
class TTargetFile {
public:
  // Opens the target; Handle() is kNoFile when Exclusive mode finds the name taken.
  TTargetFile(const std::string& path, TCreateMode mode) : FPath(path), FMode(mode) {
    auto [folder, name] = SplitTarget(path);
    if (name.empty() || name == "." || name == "..")
      Fail(TStringId::FileCreateError, path, SystemErrorText(ERROR_DIRECTORY));
    if (mode == TCreateMode::Exclusive) {
      FWritePath = path;
      FHandle = CreateNew(path);
      if (FHandle == kNoFile && !NameTaken(::GetLastError()))
        FailWithLastError(TStringId::FileCreateError, path);
      return;
    }
    for (int attempt = 0; attempt < 100 && FHandle == kNoFile; ++attempt) {
      FWritePath = folder + ".velquin-" + RandomSuffix() + ".part";
      FHandle = CreateNew(FWritePath);
      if (FHandle == kNoFile && !NameTaken(::GetLastError()))
        FailWithLastError(TStringId::FileCreateError, path);
    }
    if (FHandle == kNoFile) Fail(TStringId::FileCreateError, path, SystemErrorText(ERROR_FILE_EXISTS));
  }
  ~TTargetFile() {
    if (FHandle != kNoFile) {
      ::CloseHandle(FHandle);
      ::DeleteFileW(Widen(FWritePath).c_str());
    }
  }
  TTargetFile(const TTargetFile&) = delete;
  TTargetFile& operator=(const TTargetFile&) = delete;

  HANDLE Handle() const { return FHandle; }
  void Finish() {
    const HANDLE handle = FHandle;
    FHandle = kNoFile;
    if (!::CloseHandle(handle)) {
      const DWORD error = ::GetLastError();
      ::DeleteFileW(Widen(FWritePath).c_str());
      Fail(TStringId::FileWriteError, FPath, SystemErrorText(error));
    }
    if (FMode == TCreateMode::Replace &&
        !::MoveFileExW(Widen(FWritePath).c_str(), Widen(FPath).c_str(), MOVEFILE_REPLACE_EXISTING)) {
      const DWORD error = ::GetLastError();
      ::DeleteFileW(Widen(FWritePath).c_str());
      Fail(TStringId::FileCreateError, FPath, SystemErrorText(error));
    }
  }

private:
  std::string FPath;
  TCreateMode FMode;
  std::string FWritePath;
  HANDLE FHandle = kNoFile;
};

void WriteAll(TTargetFile& target, const std::string& path, const std::uint8_t* data, std::size_t size) {
  if (!WriteAllToFd(target.Handle(), data, size)) FailWithLastError(TStringId::FileWriteError, path);
}

}  // namespace

bool CopyFileRangeTo(TNativeFile source, const std::string& sourcePath, std::int64_t offset,
                     std::uint64_t size, const std::string& targetPath, TCreateMode mode) {
  TTargetFile target(targetPath, mode);
  if (target.Handle() == kNoFile) return false;

  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(size, kCopyBlock)));
  std::uint64_t in = static_cast<std::uint64_t>(offset);
  std::uint64_t left = size;
  while (left > 0) {
    const DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(left, buffer.size()));
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(in & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(in >> 32);
    DWORD got = 0;
    if (!::ReadFile(source, buffer.data(), want, &got, &at) && ::GetLastError() != ERROR_HANDLE_EOF)
      FailWithLastError(TStringId::FileReadError, sourcePath);
    if (got == 0) throw EFileError(FormatRes(TStringId::FileEndedEarly, {Arg(sourcePath)}));
    WriteAll(target, targetPath, buffer.data(), got);
    in += got;
    left -= got;
  }
  target.Finish();
  return true;
}

bool WriteFileBytes(const std::string& targetPath, const void* data, std::size_t size,
                    TCreateMode mode) {
  TTargetFile target(targetPath, mode);
  if (target.Handle() == kNoFile) return false;
  WriteAll(target, targetPath, static_cast<const std::uint8_t*>(data), size);
  target.Finish();
  return true;
}

bool WriteAllToFd(TNativeFile file, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes, want, &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}
