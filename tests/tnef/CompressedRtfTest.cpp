#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "CompressedRtf.h"
#include "Exception.h"
#include "TempDir.h"
#include "TnefBuilder.h"

using namespace tb;

namespace {

// A reference token: 12-bit offset, length 2..17.
std::string Ref(unsigned offset, unsigned length) {
  const unsigned token = (offset << 4) | (length - 2);
  return {static_cast<char>(token >> 8), static_cast<char>(token & 0xFF)};
}

std::string Lz(std::uint32_t rawSize, const std::string& tokens) {
  return RtfValue(rawSize, kCompTypeCompressed, tokens);
}

std::string MessageOf(const std::string& input) {
  try {
    DecompressRTF(input);
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no error)";
}

// The format as written down: a 4096-byte circular dictionary that starts with the preset,
// every output byte also written into it. Empty optional: the stream is corrupt.
std::optional<std::string> RingDecode(std::uint32_t rawSize, const std::string& tokens) {
  char ring[4096];
  bool written[4096] = {};
  const std::string_view preset = RtfPresetDictionary();
  for (std::size_t i = 0; i < preset.size(); ++i) ring[i] = preset[i], written[i] = true;
  std::size_t w = preset.size(), r = 0;
  std::string out;
  auto put = [&](char c) { ring[w % 4096] = c, written[w % 4096] = true, out += c, ++w; };
  while (out.size() < rawSize) {
    if (r >= tokens.size()) return std::nullopt;
    unsigned control = static_cast<unsigned char>(tokens[r++]);
    for (int bit = 0; bit < 8 && out.size() < rawSize; ++bit, control >>= 1) {
      if (!(control & 1)) {
        if (r >= tokens.size()) return std::nullopt;
        put(tokens[r++]);
        continue;
      }
      if (r + 2 > tokens.size()) return std::nullopt;
      const unsigned token = static_cast<unsigned char>(tokens[r]) << 8 | static_cast<unsigned char>(tokens[r + 1]);
      r += 2;
      const unsigned offset = token >> 4, length = (token & 15) + 2;
      if (offset == w % 4096 || !written[offset] || length > rawSize - out.size()) return std::nullopt;
      for (unsigned k = 0; k < length; ++k) put(ring[(offset + k) % 4096]);
    }
  }
  return out;
}

}  // namespace

TEST(DecompressRTF, MatchesTheCircularDictionaryOnRandomStreams) {
  // References into the preset, across its end into the output, overlapping runs, past the
  // first wrap, and now and then one that is corrupt.
  std::mt19937 random(17);
  for (int stream = 0; stream < 300; ++stream) {
    std::string tokens;
    std::size_t w = RtfPresetDictionary().size(), produced = 0;
    const std::size_t target = 1 + random() % 6000;
    while (produced < target) {
      const unsigned control = random() & 0xFF;
      tokens += static_cast<char>(control);
      for (int bit = 0; bit < 8; ++bit) {
        if (!(control >> bit & 1)) {
          tokens += static_cast<char>('a' + random() % 4);
          ++w, ++produced;
          continue;
        }
        const unsigned length = 2 + random() % 16;
        std::size_t back = 1 + random() % std::min<std::size_t>(w, 4095);
        if (random() % 500 == 0) back = random() % 4096;  // maybe unwritten, maybe the end marker
        tokens += Ref(static_cast<unsigned>((w - back) % 4096), length);
        w += length, produced += length;
      }
    }
    const auto rawSize = static_cast<std::uint32_t>(produced > 2 ? produced - random() % 3 : produced);
    const std::optional<std::string> expected = RingDecode(rawSize, tokens);
    if (expected) {
      EXPECT_EQ(DecompressRTF(Lz(rawSize, tokens)), *expected) << "stream " << stream;
    } else {
      EXPECT_THROW(DecompressRTF(Lz(rawSize, tokens)), Exception) << "stream " << stream;
    }
  }
}

TEST(DecompressRTF, PresetDictionaryIsThePublishedOne) {
  const std::string_view preset = RtfPresetDictionary();
  ASSERT_EQ(preset.size(), 207u);
  EXPECT_EQ(preset.substr(0, 31), "{\\rtf1\\ansi\\mac\\deff0\\deftab720");
  EXPECT_EQ(preset.substr(200), "\\tab\\tx");
  EXPECT_EQ(preset[168], '\r');
  EXPECT_EQ(preset[169], '\n');
}

TEST(DecompressRTF, HeaderOnlyStreamWithRawSizeZeroIsEmpty) {
  EXPECT_EQ(DecompressRTF(Lz(0, "")), "");
}

TEST(DecompressRTF, StoredStreamIsReturnedAsIsWhateverItsCrc) {
  const std::string rtf = "{\\rtf1 stored}";
  EXPECT_EQ(DecompressRTF(RtfValue(rtf.size(), kCompTypeStored, rtf, {}, 0x12345678)), rtf);
  EXPECT_EQ(DecompressRTF(Mela(rtf)), rtf);
}

TEST(DecompressRTF, FormatErrorsCarryTheirMessages) {
  struct TCase {
    std::string Input;
    std::string Message;
  };
  const TCase cases[] = {
      // A 20-byte input whose COMPSIZE says 15.
      {RtfValue(0, kCompTypeCompressed, "abcd", 15u),
       "Compressed RTF type mismatch: read 15, expected 16"},
      {RtfValue(0, 0x44434241, ""), "Unknown compression type (magic number 1145258561)"},
      {RtfValue(0, 0, ""), "Unknown compression type (magic number 0)"},
      // Size checked before type.
      {RtfValue(0, 0x44434241, "", 99u), "Compressed RTF type mismatch: read 99, expected 12"},
      {RtfValue(0, 0xFFFFFFFF, ""), "Unknown compression type (magic number -1)"},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageOf(c.Input), c.Message);
}

TEST(DecompressRTF, ReferencesResolveAgainstThePreset) {
  EXPECT_EQ(DecompressRTF(Lz(6, std::string(1, '\x01') + Ref(0, 6))), "{\\rtf1");
  EXPECT_EQ(DecompressRTF(Lz(2, std::string(1, '\x01') + Ref(168, 2))), "\r\n");
  // A literal then an overlapping reference repeats it (a run).
  EXPECT_EQ(DecompressRTF(Lz(5, std::string(1, '\x02') + "a" + Ref(207, 4))), "aaaaa");
}

TEST(DecompressRTF, ReferencesPastTheFirstWrapUseTheMostRecentWrite) {
  // Fill positions 207..4999 with a pattern, then read back from offsets 100 and 4000.
  std::string plain;
  for (int i = 0; plain.size() < 5000 - 207; ++i) plain += static_cast<char>('A' + i % 23);
  // 4793 literals = 599 full groups and one literal; the two references share its group.
  std::string tokens;
  for (std::size_t i = 0; i + 8 <= plain.size(); i += 8) tokens += '\0' + plain.substr(i, 8);
  tokens += std::string(1, '\x06') + plain.back() + Ref(100, 3) + Ref(4000, 3);
  const std::string out = DecompressRTF(Lz(plain.size() + 6, tokens));
  const std::string full = std::string(RtfPresetDictionary()) + plain;
  EXPECT_EQ(out.substr(plain.size(), 3), full.substr(4196, 3));
  EXPECT_EQ(out.substr(plain.size() + 3, 3), full.substr(4000, 3));
}

TEST(DecompressRTF, CompressorRoundTripsLargeBodies) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\r\n";
  for (int i = 0; i < 3000; ++i) rtf += "\\par Line " + std::to_string(i * 7919 % 1000) + " of text\r\n";
  rtf += "}";
  EXPECT_EQ(DecompressRTF(Lzfu(rtf)), rtf);
  EXPECT_EQ(DecompressRTF(LzfuLiterals(rtf)), rtf);
}

TEST(DecompressRTF, MalformedStreamsRaiseInsteadOfGuessing) {
  const std::string corrupt = "Compressed RTF data is corrupt";
  EXPECT_EQ(MessageOf("short"), corrupt);
  EXPECT_EQ(MessageOf(Lz(10, std::string(1, '\0') + "abc")), corrupt);          // ends early
  EXPECT_EQ(MessageOf(Lz(10, std::string(1, '\x02') + "a" + Ref(208, 2))), corrupt);  // end marker
  EXPECT_EQ(MessageOf(Lz(4, std::string(1, '\x01') + Ref(300, 2))), corrupt);  // not yet written
  EXPECT_EQ(MessageOf(Lz(3, std::string(1, '\x01') + Ref(0, 6))), corrupt);    // past RAWSIZE
  EXPECT_EQ(MessageOf(RtfValue(100, kCompTypeStored, "short")), corrupt);      // stored, cut
  // 17 token bytes can make at most 136 output bytes.
  EXPECT_NE(MessageOf(Lz(137, std::string(17, '\xFF'))).find("more than its data"), std::string::npos);
  EXPECT_NE(MessageOf(Lz(0xFFFFFFFF, "x")).find("more than its data"), std::string::npos);
}

TEST(DecompressRTF, SweepOfTruncationsAndFlipsNeverEscapesItsBuffers) {
  const std::string good = Lzfu("{\\rtf1\\ansi Hello, hello, hello world\\par}");
  for (std::size_t n = 0; n <= good.size(); ++n) {
    try {
      DecompressRTF(good.substr(0, n));
    } catch (const Exception&) {
    }
  }
  for (std::size_t i = 0; i < good.size(); ++i)
    for (unsigned char x : {0x01, 0x10, 0x80, 0xFF}) {
      std::string b = good;
      b[i] = static_cast<char>(b[i] ^ x);
      try {
        const std::string out = DecompressRTF(b);
        EXPECT_LE(out.size(), 64u * 1024);
      } catch (const Exception&) {
      }
    }
}

TEST(DecompressRTF, PublishedWorkedExample) {
  // The worked example of the published format: 33 token bytes give a 43-byte document.
  const unsigned char bytes[] = {
      0x2d, 0x00, 0x00, 0x00, 0x2b, 0x00, 0x00, 0x00, 0x4c, 0x5a, 0x46, 0x75, 0xf1, 0xc5, 0xc7,
      0xa7, 0x03, 0x00, 0x0a, 0x00, 0x72, 0x63, 0x70, 0x67, 0x31, 0x32, 0x35, 0x42, 0x32, 0x0a,
      0xf3, 0x20, 0x68, 0x65, 0x6c, 0x09, 0x00, 0x20, 0x62, 0x77, 0x05, 0xb0, 0x6c, 0x64, 0x7d,
      0x0a, 0x80, 0x0f, 0xa0};
  const std::string input(reinterpret_cast<const char*>(bytes), sizeof bytes);
  EXPECT_EQ(DecompressRTF(input), "{\\rtf1\\ansi\\ansicpg1252\\pard hello world}\r\n");
}

TEST(DecompressRTF, VectorsFromTheCorpus) {
  const std::string base = CorpusDir();
  if (base.empty()) GTEST_SKIP() << "no corpus";
  auto slurp = [](const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  // A Japanese HTML mail wrapped in RTF: decoded byte for byte.
  const std::string sample = slurp(base + "/hiraokahypertools-decompressrtf/sample1.bin");
  const std::string sampleRtf = slurp(base + "/hiraokahypertools-decompressrtf/sample1.txt");
  if (!sample.empty()) {
    EXPECT_EQ(DecompressRTF(sample), sampleRtf);
  }

  // This project's expectation was made with a preset whose CR LF (bytes 168-169) is swapped:
  // every line break that comes from the dictionary reads LF CR there, CR LF here.
  const std::string lzfu = slurp(base + "/sicos1977-msgreader/LZFu.bin");
  std::string lzfuRtf = slurp(base + "/sicos1977-msgreader/LZFu.rtf");
  if (!lzfu.empty()) {
    for (std::size_t at = 0; (at = lzfuRtf.find("\n\r", at)) != std::string::npos; at += 2)
      lzfuRtf.replace(at, 2, "\r\n");
    EXPECT_EQ(DecompressRTF(lzfu), lzfuRtf);
  }

  // The stored stream's writer put RAWSIZE where COMPSIZE belongs; the strict decoder refuses
  // it (the reader then asks the mail library, which is tolerant there).
  const std::string mela = slurp(base + "/sicos1977-msgreader/MELA.bin");
  if (!mela.empty()) {
    EXPECT_EQ(MessageOf(mela), "Compressed RTF type mismatch: read 275, expected 287");
  }
}

// A prefix is the whole decode's first bytes, whatever the limit and however the stream
// was written; damage is told only where it lies within the prefix.
TEST(DecompressRTFPrefix, IsTheWholeDecodesStart) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n";
  for (int i = 0; i < 2000; ++i) rtf += "\\par Line " + std::to_string(i * 7919 % 1000) + " of text\r\n";
  rtf += "}";
  // Limits around a reference's end, around the ring's first wrap, at and past the end.
  const std::size_t limits[] = {0, 1, 5, 6, 7, 17, 18, 207, 4095, 4096, 4097, 4303, 10000,
                                rtf.size() - 1, rtf.size(), rtf.size() + 1, std::string::npos};
  for (const std::string& stream : {Lzfu(rtf), LzfuLiterals(rtf), Mela(rtf)}) {
    ASSERT_EQ(DecompressRTF(stream), rtf);
    EXPECT_EQ(CompressedRtfRawSize(stream), rtf.size());
    for (std::size_t limit : limits) {
      SCOPED_TRACE(limit);
      EXPECT_EQ(DecompressRTFPrefix(stream, limit), rtf.substr(0, limit));
    }
  }
  // Random streams, checked against the format's own definition at every limit.
  std::mt19937 random(7);
  for (int stream = 0; stream < 200; ++stream) {
    std::string tokens;
    for (int i = 0; i < 40; ++i) tokens += static_cast<char>(random() % 256);
    const std::uint32_t rawSize = 1 + random() % 120;
    const std::optional<std::string> expected = RingDecode(rawSize, tokens);
    if (!expected) continue;
    for (std::size_t limit = 0; limit <= rawSize + 1; ++limit)
      ASSERT_EQ(DecompressRTFPrefix(Lz(rawSize, tokens), limit), expected->substr(0, limit))
          << "stream " << stream << " limit " << limit;
  }
}

TEST(DecompressRTFPrefix, DamageCountsOnlyWithinThePrefix) {
  // Ten good bytes, then a reference to a byte not written yet.
  const std::string tokens = std::string(1, '\x00') + "abcdefgh" + std::string(1, '\x04') + "ij" + Ref(4000, 2);
  const std::string damaged = Lz(20, tokens);
  EXPECT_THROW(DecompressRTF(damaged), Exception);
  EXPECT_EQ(DecompressRTFPrefix(damaged, 10), "abcdefghij");
  EXPECT_THROW(DecompressRTFPrefix(damaged, 11), Exception);
  // A stream cut short is damaged from where it ends.
  EXPECT_EQ(DecompressRTFPrefix(Lz(10, std::string(1, '\0') + "abc"), 3), "abc");
  EXPECT_THROW(DecompressRTFPrefix(Lz(10, std::string(1, '\0') + "abc"), 4), Exception);
  // A header the whole decode refuses is refused for any prefix, the empty one too.
  for (const std::string& refused : {std::string("short"), RtfValue(10, 0x41424344, "x"),
                                     RtfValue(100, kCompTypeStored, "short"), Lz(137, std::string(17, '\xFF'))}) {
    EXPECT_THROW(DecompressRTFPrefix(refused, 0), Exception);
    EXPECT_THROW(CompressedRtfRawSize(refused), Exception);
  }
  std::string badComp = Lzfu("{\\rtf1 x}");
  badComp[0] = static_cast<char>(badComp[0] + 1);
  EXPECT_NE(MessageOf(badComp).find("type mismatch"), std::string::npos);
  EXPECT_THROW(DecompressRTFPrefix(badComp, 3), Exception);
}
