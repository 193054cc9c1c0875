#include <gtest/gtest.h>

#include <string>

#include "RtfTokenizer.h"

namespace {

// One letter per token kind, then what it carries: W name[=param], S symbol, T text, H byte,
// B bytes, { and }.
std::string Describe(std::string_view rtf) {
  TRtfTokenizer tokenizer(rtf);
  std::string out;
  for (int guard = 0; guard < 1000; ++guard) {
    const TRtfToken t = tokenizer.Next();
    switch (t.Kind) {
      case TRtfTokenKind::End: return out;
      case TRtfTokenKind::GroupStart: out += "{ "; break;
      case TRtfTokenKind::GroupEnd: out += "} "; break;
      case TRtfTokenKind::Word:
        out += "W" + std::string(t.Name) + (t.HasParam ? "=" + std::to_string(t.Param) : "") + " ";
        break;
      case TRtfTokenKind::Symbol: out += std::string("S") + t.Symbol + " "; break;
      case TRtfTokenKind::Text: out += "T" + std::string(t.Name) + " "; break;
      case TRtfTokenKind::HexByte: out += "H" + std::to_string(t.Byte) + " "; break;
      case TRtfTokenKind::Binary: out += "B" + std::string(t.Name) + " "; break;
    }
  }
  return out + "(no end)";
}

struct TCase {
  const char* Rtf;
  const char* Tokens;
};

TEST(RtfTokenizer, Tokens) {
  const TCase cases[] = {
      {"{\\b1 x}", "{ Wb=1 Tx } "},
      {"\\fs-20 a", "Wfs=-20 Ta "},                    // negative parameter, delimiter eaten
      {"\\par\r\nnext", "Wpar Tnext "},                 // line ends carry nothing
      {"\\'e9\\'4A", "H233 H74 "},
      {"\\'zz", "Tzz "},                               // a malformed escape is dropped
      {"\\~\\-\\_\\{\\}\\\\\\*", "S~ S- S_ S{ S} S\\ S* "},
      {"\\bin3 {}\\x", "B{}\\ Tx "},                   // \bin data is not parsed
      {"\\bin99 ab", "Bab "},                          // a count past the end takes what is there
      {"\\u-3913?", "Wu=-3913 T? "},
      {"\\fs99999999999 x", "Wfs=2147483647 Tx "},     // clamped, not overflowed
      {"trailing\\", "Ttrailing "},
      {"\\\n", "S\n "},
  };
  for (const TCase& c : cases) EXPECT_EQ(Describe(c.Rtf), c.Tokens) << c.Rtf;
}

}  // namespace
