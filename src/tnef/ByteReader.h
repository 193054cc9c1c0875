#pragma once
// Bounded little-endian reader over bytes held in memory. Every read checks what remains
// first, so reading past the end is impossible by construction; a failed read raises
// EReadError and leaves the position where it was.

#include <cstdint>
#include <cstring>
#include <string_view>

#include "Exception.h"
#include "TNEFReaderConst.h"

// Little-endian numbers at a position the caller has already checked to be inside bytes.
inline std::uint16_t LoadLe16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}
inline std::uint32_t LoadLe32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(LoadLe16(bytes, at)) |
         static_cast<std::uint32_t>(LoadLe16(bytes, at + 2)) << 16;
}

class TByteReader {
public:
  explicit TByteReader(std::string_view bytes) : FBytes(bytes) {}

  std::size_t Position() const { return FPos; }
  std::size_t Size() const { return FBytes.size(); }
  std::size_t Remaining() const { return FPos < FBytes.size() ? FBytes.size() - FPos : 0; }
  bool AtEnd() const { return Remaining() == 0; }

  std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

  // The next count bytes, as a view into the underlying bytes.
  std::string_view Bytes(std::size_t count) {
    Need(count);
    const std::string_view out = FBytes.substr(FPos, count);
    FPos += count;
    return out;
  }
  // Up to count bytes: fewer when the end comes first.
  std::string_view BytesUpTo(std::size_t count) {
    const std::size_t take = count < Remaining() ? count : Remaining();
    const std::string_view out = FBytes.substr(FPos, take);
    FPos += take;
    return out;
  }
  // Moves forward by count bytes, stopping at the end.
  void Skip(std::size_t count) { FPos += count < Remaining() ? count : Remaining(); }

private:
  void Need(std::size_t count) const {
    if (count > Remaining()) throw EReadError(LoadResString(TStringId::StreamReadError));
  }
  std::uint64_t Unsigned(std::size_t width) {
    Need(width);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i)
      v |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(FBytes[FPos + i])) << (8 * i);
    FPos += width;
    return v;
  }

  std::string_view FBytes;
  std::size_t FPos = 0;
};
