#include <gtest/gtest.h>

#include <string>

#include "CodePage.h"
#include "DateTime.h"
#include "Format.h"
#include "SafeFileName.h"
#include "TNEFReaderConst.h"

TEST(CodePage, DecodesWithTheNamedCodePageAndFallsBackTo1252) {
  EXPECT_EQ(CodePageToUtf8("caf\xe9", 1252), "café");
  EXPECT_EQ(CodePageToUtf8("\xc4\xe0", 1251), "Да");
  EXPECT_EQ(CodePageToUtf8("\xf9\xec\xe5\xed", 1255), "שלום");
  EXPECT_EQ(CodePageToUtf8("\xc4\xe3", 936), "你");
  EXPECT_EQ(CodePageToUtf8("caf\xe9", 4242), "café");  // unknown: 1252
  EXPECT_EQ(CodePageToUtf8("ab\0cd", 1252), "ab");
  EXPECT_EQ(CodePageToUtf8("\x81", 1252), "\xEF\xBF\xBD");  // undefined in 1252
}

TEST(CodePage, Utf16StopsAtNulAndReplacesBrokenSurrogates) {
  EXPECT_EQ(Utf16LeToUtf8(std::string("h\0i\0\0\0x\0", 8)), "hi");
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3d\xd8\x00\xde", 4)), "😀");
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3d\xd8" "a\0", 4)), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(Utf16LeToUtf8(std::string("a\0b", 3)), "a\xEF\xBF\xBD");
}

TEST(SafeFileName, CleansNamesForTheFileSystem) {
  const std::pair<std::string, std::string> cases[] = {
      {"report.pdf", "report.pdf"},
      {"../../etc/passwd", "passwd"},
      {"C:\\Users\\me\\doc.txt", "doc.txt"},
      {"..", "fallback"},
      {".", "fallback"},
      {"", "fallback"},
      {"dir/", "fallback"},
      {"tab\there.txt", "tabhere.txt"},
      {"name. . ", "name"},
      {"  lead.txt", "lead.txt"},
      {"Grüße.txt", "Grüße.txt"},
      // Reordering marks would show "photo\u202Egnp.exe" as "photoexe.png".
      {"photo\u202Egnp.exe", "photognp.exe"},
      {"\u2066a\u2069\u200Eb\u200F\u202Ac\u202B.txt", "abc.txt"},
      {"next\u0085line\u009F.txt", "nextline.txt"},
      {"a:b?c*d\"e<f>g|h.txt", "a_b_c_d_e_f_g_h.txt"},
      {"\u2026 \u2028 \u2070.txt", "\u2026 \u2028 \u2070.txt"},  // neighbours stay
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(CleanFileName(in, "fallback"), out) << in;

  const std::string longName = std::string(300, 'x') + ".pdf";
  const std::string cleaned = CleanFileName(longName, "f");
  EXPECT_EQ(cleaned.size(), 255u);
  EXPECT_EQ(cleaned.substr(251), ".pdf");
  std::string accents;
  for (int i = 0; i < 200; ++i) accents += "é";
  EXPECT_TRUE(IsValidUtf8(CleanFileName(accents, "f")));
}

TEST(SafeFileName, NumberedVariantsAndJoins) {
  EXPECT_EQ(NumberedFileName("image001.png", 2), "image001 (2).png");
  EXPECT_EQ(NumberedFileName("noext", 3), "noext (3)");
  EXPECT_EQ(NumberedFileName(".hidden", 2), ".hidden (2)");
  EXPECT_EQ(JoinPath("/out", "a"), "/out/a");
  EXPECT_EQ(JoinPath("/out/", "a"), "/out/a");
  EXPECT_EQ(JoinPath("", "a"), "a");
}

TEST(DateTime, EncodesAndPrintsDates) {
  EXPECT_EQ(DateTimeToIso(*EncodeDateTime(1899, 12, 30, 0, 0, 0) + 0), "");  // zero: unset
  EXPECT_EQ(DateTimeToIso(*EncodeDateTime(2000, 2, 29, 23, 59, 59)), "2000-02-29 23:59:59");
  EXPECT_EQ(DateTimeToIso(*EncodeDateTime(1, 1, 1, 12, 0, 0)), "0001-01-01 12:00:00");
  EXPECT_EQ(DateTimeToIso(*EncodeDateTime(9999, 12, 31, 0, 0, 1)), "9999-12-31 00:00:01");
  EXPECT_DOUBLE_EQ(*EncodeDateTime(1900, 1, 1, 12, 0, 0), 2.5);
  EXPECT_FALSE(EncodeDateTime(1900, 2, 29, 0, 0, 0));
  EXPECT_FALSE(EncodeDateTime(0, 1, 1, 0, 0, 0));
  EXPECT_FALSE(EncodeDateTime(2020, 1, 1, 0, 60, 0));
}

TEST(StringTable, FormatsAndTranslates) {
  EXPECT_EQ(FormatText("%s has %d%%", {Arg("disk"), Arg(50)}), "disk has 50%");
  EXPECT_EQ(FormatText("%d and %s", {Arg(1)}), "1 and %s");
  EXPECT_EQ(FormatRes(TStringId::FilesSaved, {Arg(3)}), "3 files saved");
  SetTranslationHook([](TStringId, std::string_view) { return std::string("%d fichiers"); });
  EXPECT_EQ(FormatRes(TStringId::FilesSaved, {Arg(3)}), "3 fichiers");
  SetTranslationHook({});
  EXPECT_EQ(LoadResString(TStringId::OneFileSaved), "1 file saved");
}
