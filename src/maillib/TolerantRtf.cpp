#include "TolerantRtf.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace maillib {

namespace {

constexpr std::uint32_t kLzfu = 0x75465A4C;  // "LZFu"
constexpr std::uint32_t kMela = 0x414C454D;  // "MELA"
constexpr std::size_t kHeader = 16;
constexpr std::size_t kWindow = 4096;

// The format's initial dictionary ([MS-OXRTFCP] 2.1.2.1).
constexpr char kPreset[] =
    "{\\rtf1\\ansi\\mac\\deff0\\deftab720{\\fonttbl;}{\\f0\\fnil \\froman \\fswiss \\fmodern "
    "\\fscript \\fdecor MS Sans SerifSymbolArialTimes New RomanCourier{\\colortbl\\red0\\green0"
    "\\blue0\r\n\\par \\pard\\plain\\f0\\fs20\\b\\i\\u\\tab\\tx";
constexpr std::size_t kPresetSize = sizeof(kPreset) - 1;
static_assert(kPresetSize == 207);

std::uint32_t U32(std::string_view s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

std::string Inflate(std::string_view tokens) {
  // The circular dictionary starts as the preset followed by zeros; a reference to a place
  // not written yet reads those zeros instead of failing.
  std::array<char, kWindow> dict{};
  std::memcpy(dict.data(), kPreset, kPresetSize);
  std::size_t write = kPresetSize;
  std::string out;
  std::size_t r = 0;
  while (r < tokens.size()) {
    unsigned control = static_cast<std::uint8_t>(tokens[r++]);
    for (int bit = 0; bit < 8; ++bit, control >>= 1) {
      if (r >= tokens.size() || out.size() >= kMaxOutput) return out;
      if ((control & 1) == 0) {
        const char c = tokens[r++];
        out += c;
        dict[write] = c;
        write = (write + 1) % kWindow;
        continue;
      }
      if (r + 2 > tokens.size()) return out;  // half a reference: the data ended early
      const unsigned token = static_cast<unsigned>(static_cast<std::uint8_t>(tokens[r])) << 8 |
                             static_cast<std::uint8_t>(tokens[r + 1]);
      r += 2;
      const std::size_t offset = token >> 4;
      const std::size_t length = (token & 0x0F) + 2;
      if (offset == write) return out;  // the end marker
      for (std::size_t k = 0; k < length && out.size() < kMaxOutput; ++k) {
        const char c = dict[(offset + k) % kWindow];
        out += c;
        dict[write] = c;
        write = (write + 1) % kWindow;
      }
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> DecompressTolerant(std::string_view value) {
  if (value.size() < kHeader) return std::nullopt;
  const std::uint32_t rawSize = U32(value, 4);
  const std::uint32_t compType = U32(value, 8);
  const std::string_view data = value.substr(kHeader);
  if (compType == kMela) {
    const std::size_t n = std::min<std::size_t>({std::size_t{rawSize}, data.size(), kMaxOutput});
    return std::string(data.substr(0, n));
  }
  if (compType == kLzfu) return Inflate(data);
  return std::nullopt;
}

}  // namespace maillib
