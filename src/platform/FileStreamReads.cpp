// The reads of a file stream, the same on every system: the buffer, the position and the
// clamping to the file's size. Each system's file gives ReadSomeAt, one read at an offset.
#include <algorithm>
#include <cstring>

#include "Exception.h"
#include "FileStream.h"
#include "TNEFReaderConst.h"

namespace {
// Large enough that a file of many small attributes is read in few calls, small enough
// that opening a file never costs more than this however large its attachments are.
constexpr std::size_t kBufferSize = 64 * 1024;
}  // namespace

void TFileStream::Seek(std::int64_t pos) { FPosition = std::clamp<std::int64_t>(pos, 0, FSize); }

void TFileStream::Skip(std::uint64_t count) {
  const auto remaining = static_cast<std::uint64_t>(Remaining());
  FPosition += static_cast<std::int64_t>(std::min(count, remaining));
}

bool TFileStream::FillBuffer() {
  FBuffer.resize(kBufferSize);
  FBufferStart = FPosition;
  FBuffer.resize(ReadAt(FBufferStart, FBuffer.data(), kBufferSize));
  return !FBuffer.empty();
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
        const std::size_t n = ReadSomeAt(FPosition, out + done, count - done);
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
    const std::size_t n = ReadSomeAt(offset + static_cast<std::int64_t>(done), out + done, count - done);
    if (n == 0) break;
    done += n;
  }
  return done;
}
