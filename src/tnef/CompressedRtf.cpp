#include "CompressedRtf.h"

#include <cstring>

#include "ByteReader.h"
#include "Exception.h"
#include "LargeBuffer.h"
#include "TNEFReaderConst.h"

namespace {

constexpr char kPreset[] =
    "{\\rtf1\\ansi\\mac\\deff0\\deftab720{\\fonttbl;}{\\f0\\fnil \\froman \\fswiss \\fmodern "
    "\\fscript \\fdecor MS Sans SerifSymbolArialTimes New RomanCourier{\\colortbl\\red0\\green0"
    "\\blue0\r\n\\par \\pard\\plain\\f0\\fs20\\b\\i\\u\\tab\\tx";
constexpr std::size_t kPresetSize = sizeof(kPreset) - 1;
static_assert(kPresetSize == 207, "the initial dictionary has 207 bytes");

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kDictionarySize = 4096;

[[noreturn]] void Corrupt() { throw Exception(LoadResString(TStringId::RtfCorrupt)); }

// The most output n token bytes can produce: each group of a control byte and eight 2-byte
// references (17 bytes) yields 8 x 17 = 136 bytes; a partial group of 1 + 2k bytes, 17k.
std::uint64_t MaxOutputFor(std::uint64_t n) {
  const std::uint64_t groups = n / 17;
  const std::uint64_t rest = n % 17;
  return groups * 136 + (rest >= 3 ? (rest - 1) / 2 * 17 : 0);
}

}  // namespace

std::string_view RtfPresetDictionary() { return {kPreset, kPresetSize}; }

std::string DecompressRTF(std::string_view input) {
  if (input.size() < kHeaderSize) Corrupt();
  const std::uint32_t compSize = LoadLe32(input, 0);
  const std::uint32_t rawSize = LoadLe32(input, 4);
  const std::uint32_t compType = LoadLe32(input, 8);

  const std::uint64_t expected = input.size() - 4;
  if (compSize != expected)
    throw Exception(FormatRes(TStringId::RtfTypeMismatch,
                              {Arg(static_cast<std::int32_t>(compSize)),
                               Arg(static_cast<std::int32_t>(static_cast<std::uint32_t>(expected)))}));

  const std::string_view data = input.substr(kHeaderSize);
  if (compType == kCompTypeStored) {
    if (rawSize > data.size()) Corrupt();
    return std::string(data.substr(0, rawSize));
  }
  if (compType != kCompTypeCompressed)
    throw Exception(FormatRes(TStringId::RtfUnknownCompression,
                              {Arg(static_cast<std::int32_t>(compType))}));

  if (rawSize > MaxOutputFor(data.size()) || rawSize > kMaxRtfRawSize)
    throw Exception(FormatRes(TStringId::RtfTooLarge, {Arg(static_cast<std::int64_t>(rawSize))}));

  // Positions count from the start of the preset, which precedes the output: position p is
  // position p mod 4096 of the format's circular dictionary, so a reference resolves to the
  // preset or to output already written. The preset never enters the output, and the
  // output is reserved, not zero-filled: every byte is appended once.
  std::string out;
  ReserveLarge(out, rawSize);
  const std::size_t end = kPresetSize + static_cast<std::size_t>(rawSize);

  const auto* in = reinterpret_cast<const std::uint8_t*>(data.data());
  const std::size_t inSize = data.size();
  std::size_t r = 0;
  std::size_t w = kPresetSize;
  while (w < end) {
    if (r >= inSize) Corrupt();
    unsigned control = in[r++];
    for (int bit = 0; bit < 8 && w < end; ++bit, control >>= 1) {
      if ((control & 1) == 0) {
        if (r >= inSize) Corrupt();
        out.push_back(static_cast<char>(in[r++]));
        ++w;
        continue;
      }
      if (r + 2 > inSize) Corrupt();
      const unsigned token = static_cast<unsigned>(in[r]) << 8 | in[r + 1];
      r += 2;
      const std::size_t offset = token >> 4;
      const std::size_t length = (token & 0x0F) + 2;
      // The position at or before w, and after w - 4096, congruent to offset modulo 4096.
      const std::size_t back = (w - offset) % kDictionarySize;
      if (back == 0) Corrupt();   // the end marker, or a byte not written yet
      if (back > w) Corrupt();    // before the start of the preset: never written
      if (length > end - w) Corrupt();
      const std::size_t s = w - back;
      if (s >= kPresetSize && back >= length) {
        // Wholly inside the output and not overlapping what it writes: one copy. The
        // reservation holds, so the source does not move.
        out.append(out.data() + (s - kPresetSize), length);
      } else {
        // From the preset, or overlapping (a short distance repeats: a run): byte by byte.
        for (std::size_t p = s; p < s + length; ++p)
          out.push_back(p < kPresetSize ? kPreset[p] : out[p - kPresetSize]);
      }
      w += length;
    }
  }
  return out;
}
