#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "RtfToHtml.h"
#include "TempDir.h"

namespace {

const std::string kRich =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset128 MS;}}"
    "{\\colortbl;\\red1\\green2\\blue3;}\\uc1\\pard\\qc\\li720 {\\b\\cf1 B\\'e9}\\f1 \\'82\\'a0"
    "\\u8364?{\\field{\\*\\fldinst HYPERLINK \"http://a/\"}{\\fldrslt link}}\\par"
    "\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row\\pard{\\listtext 1.\\tab}x\\par"
    "{\\pict\\pngblip\\picwgoal20\\pichgoal20 89504e47}{\\*\\x y}\\bin2 ab}";

TEST(RtfRobustness, EveryTruncationAndByteFlipEnds) {
  // Not a proof, a sweep: every prefix, and every byte replaced by each syntax character.
  for (std::size_t n = 0; n <= kRich.size(); ++n) RtfToHtml(kRich.substr(0, n));
  for (std::size_t i = 0; i < kRich.size(); ++i)
    for (char c : {'{', '}', '\\', '\'', '0', ' ', '\xff'}) {
      std::string s = kRich;
      s[i] = c;
      RtfToHtml(s);
    }
  SUCCEED();
}

TEST(RtfRobustness, DeepNestingIsBounded) {
  const std::string deep = "{\\rtf1 " + std::string(200000, '{') + "x" + std::string(200000, '}') + "y}";
  const TRtfConversion r = RtfToHtml(deep);
  EXPECT_EQ(r.Text, "xy\n");
}

TEST(RtfRobustness, OutputStaysInProportion) {
  // Tiny formatting changes around single characters cost the most output per input byte.
  std::string rtf = "{\\rtf1{\\fonttbl{\\f1 " + std::string(5000, 'N') + ";}}\\f1 ";
  for (int i = 0; i < 20000; ++i) rtf += (i % 2 ? "\\b a" : "\\b0 a");
  for (int i = 0; i < 20000; ++i) rtf += "{\\field{\\*\\fldinst HYPERLINK \"http://x/" + std::string(100, 'u') + "\"}{\\fldrslt a\\par a\\par}}";
  rtf += "}";
  const TRtfConversion r = RtfToHtml(rtf);
  EXPECT_LT(r.Html.size(), 64 * rtf.size() + (1u << 20));
  EXPECT_EQ(r.Html.find(std::string(65, 'N')), std::string::npos);  // font names are clipped
}

TEST(RtfRobustness, HostileFragments) {
  for (const char* rtf : {"{\\rtf1 \\u-99999999999?\\uc99999 x}", "{\\rtf1 \\bin-5 x}",
                          "{\\rtf1 \\binx}", "{\\rtf1 \\'", "{\\rtf1 }}}}}}} x",
                          "{\\rtf1 {\\pict{\\pict 0102}}}", "{\\rtf1 \\cellx\\cell\\row\\row\\cell}",
                          "{\\rtf1 {\\field{\\fldrslt{\\field{\\fldrslt x}}}}}",
                          "{\\rtf1\\fromhtml1 {\\*\\htmltag <scr}{\\*\\htmltag ipt>x}",
                          "{\\rtf1{\\fonttbl\\f1\\fcharset128;\\f2;}\\f1 \\'82}"})
    RtfToHtml(rtf);
  SUCCEED();
}

// Real bodies: the compressed-RTF vectors' expected RTF, when the corpus is present.
TEST(RtfCorpus, KnownBodies) {
  const std::string corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  const struct {
    const char* Path;
    TBodySource Source;
    const char* Expected;
  } cases[] = {
      {"hiraokahypertools-decompressrtf/sample1.txt", TBodySource::RtfEncapsulatedHtml,
       "\u3053\u308c\u306f\u30c6\u30b9\u30c8\u9001\u4fe1\u3067\u3059\u3002"},
      {"sicos1977-msgreader/LZFu.rtf", TBodySource::RtfEncapsulatedText, "body"},
  };
  for (const auto& c : cases) {
    const std::string rtf = ReadFileBytes(corpus + "/" + c.Path);
    if (rtf.empty()) continue;
    const TRtfConversion r = RtfToHtml(rtf);
    EXPECT_EQ(r.Source, c.Source) << c.Path;
    EXPECT_NE(r.Text.find(c.Expected), std::string::npos) << c.Path << ": " << r.Text;
  }
}

}  // namespace
