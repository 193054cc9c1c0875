#pragma once
// Compressed-RTF decompression that accepts what real mail writers produce, where the
// viewer's own decoder is strict: COMPSIZE is not checked against the real length (stored
// "MELA" streams often carry RAWSIZE there), a stored stream shorter than RAWSIZE gives
// what it has, token data that ends early gives what was decoded, and the CRC is ignored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace maillib {

// Output bound: the same ceiling the viewer uses for a body, so a forged stream cannot make
// the library allocate without limit.
inline constexpr std::size_t kMaxOutput = 512u * 1024 * 1024;

// The RTF text of a complete property value (16-byte header included); nullopt when the
// header is missing or names no known compression type.
std::optional<std::string> DecompressTolerant(std::string_view value);

}  // namespace maillib
