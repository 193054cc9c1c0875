#include "FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "Exception.h"
#include "TNEFReaderConst.h"

namespace {
// Large enough that a file of many small attributes is read in few calls, small enough
// that opening a file never costs more than this however large its attachments are.
constexpr std::size_t kBufferSize = 64 * 1024;
}  // namespace

TFileStream::TFileStream(const std::string& path) : FPath(path) {
  FFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (FFd < 0)
    throw EFileError(FormatRes(TStringId::FileOpenError, {Arg(path), Arg(std::strerror(errno))}));
  struct stat st {};
  if (::fstat(FFd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(FFd);
    throw EFileError(FormatRes(TStringId::FileOpenError, {Arg(path), Arg(std::strerror(err))}));
  }
  FSize = st.st_size;
}

TFileStream::~TFileStream() {
  if (FFd >= 0) ::close(FFd);
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
    const ssize_t n = ::pread(FFd, FBuffer.data() + got, kBufferSize - got,
                              static_cast<off_t>(FBufferStart + static_cast<std::int64_t>(got)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      throw EFileError(
          FormatRes(TStringId::FileReadError, {Arg(FPath), Arg(std::strerror(errno))}));
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
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
        const ssize_t n = ::pread(FFd, out + done, count - done, static_cast<off_t>(FPosition));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
          throw EFileError(
              FormatRes(TStringId::FileReadError, {Arg(FPath), Arg(std::strerror(errno))}));
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
        FPosition += n;
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
    const ssize_t n = ::pread(FFd, out + done, count - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      throw EFileError(FormatRes(TStringId::FileReadError, {Arg(FPath), Arg(std::strerror(errno))}));
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}
