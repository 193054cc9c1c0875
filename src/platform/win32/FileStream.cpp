#include "FileStream.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "Exception.h"
#include "TNEFReaderConst.h"
#include "WideText.h"

namespace {
// Large enough that a file of many small attributes is read in few calls, small enough
// that opening a file never costs more than this however large its attachments are.
constexpr std::size_t kBufferSize = 64 * 1024;

[[noreturn]] void Fail(TStringId id, const std::string& path, const std::string& reason) {
  throw EFileError(FormatRes(id, {Arg(path), Arg(reason)}));
}

// Reads up to count bytes at offset; the handle's own position is never relied on.
std::size_t ReadHandleAt(HANDLE file, void* buffer, std::size_t count, std::int64_t offset,
                   const std::string& path) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
  if (!::ReadFile(file, buffer, want, &got, &at)) {
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    Fail(TStringId::FileReadError, path, LastErrorText());
  }
  return got;
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

void TFileStream::Seek(std::int64_t pos) { FPosition = std::clamp<std::int64_t>(pos, 0, FSize); }

void TFileStream::Skip(std::uint64_t count) {
  const auto remaining = static_cast<std::uint64_t>(Remaining());
  FPosition += static_cast<std::int64_t>(std::min(count, remaining));
}

bool TFileStream::FillBuffer() {
  FBuffer.resize(kBufferSize);
  FBufferStart = FPosition;
  std::size_t got = 0;
  while (got < kBufferSize) {
    const std::size_t n = ReadHandleAt(FFd, FBuffer.data() + got, kBufferSize - got,
                                 FBufferStart + static_cast<std::int64_t>(got), FPath);
    if (n == 0) break;
    got += n;
  }
  FBuffer.resize(got);
  return got > 0;
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, Remaining()));
  while (done < count) {
    const std::int64_t inBuffer = FPosition - FBufferStart;
    if (inBuffer < 0 || inBuffer >= static_cast<std::int64_t>(FBuffer.size())) {
      // Large reads bypass the buffer; small ones refill it.
      if (count - done >= kBufferSize) {
        const std::size_t n = ReadHandleAt(FFd, out + done, count - done, FPosition, FPath);
        if (n == 0) break;
        done += n;
        FPosition += static_cast<std::int64_t>(n);
        continue;
      }
      if (!FillBuffer()) break;
      continue;
    }
    const std::size_t take =
        std::min<std::size_t>(count - done, FBuffer.size() - static_cast<std::size_t>(inBuffer));
    std::memcpy(out + done, FBuffer.data() + inBuffer, take);
    done += take;
    FPosition += static_cast<std::int64_t>(take);
  }
  return done;
}

void TFileStream::ReadExact(void* buffer, std::size_t count) {
  const std::int64_t start = FPosition;
  if (static_cast<std::uint64_t>(Remaining()) < count || Read(buffer, count) != count) {
    FPosition = start;
    throw EReadError(LoadResString(TStringId::StreamReadError));
  }
}

std::size_t TFileStream::ReadAt(std::int64_t offset, void* buffer, std::size_t count) const {
  if (offset < 0 || offset >= FSize) return 0;
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, static_cast<std::uint64_t>(FSize - offset)));
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t n = ReadHandleAt(FFd, out + done, count - done, offset + static_cast<std::int64_t>(done), FPath);
    if (n == 0) break;
    done += n;
  }
  return done;
}
