#include "CompressedRtf.h"

#include <algorithm>
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

namespace {

// The header's fields once DecompressRTF's checks of it passed.
struct TRtfHeader {
  std::uint32_t RawSize = 0;
  std::uint32_t CompType = 0;
  std::string_view Data;  // what follows the header
};

TRtfHeader CheckedHeader(std::string_view input) {
  if (input.size() < kHeaderSize) Corrupt();
  TRtfHeader header;
  const std::uint32_t compSize = LoadLe32(input, 0);
  header.RawSize = LoadLe32(input, 4);
  header.CompType = LoadLe32(input, 8);

  const std::uint64_t expected = input.size() - 4;
  if (compSize != expected)
    throw Exception(FormatRes(TStringId::RtfTypeMismatch,
                              {Arg(static_cast<std::int32_t>(compSize)),
                               Arg(static_cast<std::int32_t>(static_cast<std::uint32_t>(expected)))}));

  header.Data = input.substr(kHeaderSize);
  if (header.CompType == kCompTypeStored) {
    if (header.RawSize > header.Data.size()) Corrupt();
    return header;
  }
  if (header.CompType != kCompTypeCompressed)
    throw Exception(FormatRes(TStringId::RtfUnknownCompression,
                              {Arg(static_cast<std::int32_t>(header.CompType))}));

  if (header.RawSize > MaxOutputFor(header.Data.size()) || header.RawSize > kMaxRtfRawSize)
    throw Exception(FormatRes(TStringId::RtfTooLarge, {Arg(static_cast<std::int64_t>(header.RawSize))}));
  return header;
}

// Decodes the first min(limit, RAWSIZE) bytes; every check of a reference is made against
// RAWSIZE, as for the whole, so a prefix is always the whole's prefix.
std::string Decode(std::string_view input, std::size_t limit) {
  const TRtfHeader header = CheckedHeader(input);
  const std::size_t rawSize = header.RawSize;
  const std::size_t want = std::min(limit, rawSize);
  if (header.CompType == kCompTypeStored) return std::string(header.Data.substr(0, want));
  const std::string_view data = header.Data;

  // Positions count from the start of the preset, which precedes the output: position p is
  // position p mod 4096 of the format's circular dictionary, so a reference resolves to the
  // preset or to output already written. The preset never enters the output, and the
  // output is reserved, not zero-filled: every byte is appended once. A reference may run
  // up to 17 bytes past a limit; they are cut off at the end.
  const bool whole = want == rawSize;
  std::string out;
  ReserveLarge(out, whole ? rawSize : want + 17);
  const std::size_t end = kPresetSize + rawSize;
  const std::size_t stop = kPresetSize + want;

  const auto* in = reinterpret_cast<const std::uint8_t*>(data.data());
  const std::size_t inSize = data.size();
  std::size_t r = 0;
  std::size_t w = kPresetSize;
  while (w < stop) {
    if (r >= inSize) Corrupt();
    unsigned control = in[r++];
    for (int bit = 0; bit < 8 && w < stop; ++bit, control >>= 1) {
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
  if (!whole) out.resize(want);
  return out;
}

}  // namespace

std::string DecompressRTF(std::string_view input) { return Decode(input, std::string_view::npos); }

std::string DecompressRTFPrefix(std::string_view input, std::size_t limit) { return Decode(input, limit); }

std::uint32_t CompressedRtfRawSize(std::string_view input) { return CheckedHeader(input).RawSize; }
