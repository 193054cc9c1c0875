#include <gtest/gtest.h>

#include <string>

#include "HtmlTokenizer.h"
#include "RtfTables.h"
#include "RtfTextDecoder.h"
#include "RtfToHtml.h"

namespace {

TEST(RtfTables, CharsetsToCodePages) {
  const struct {
    int Charset;
    unsigned CodePage;
  } cases[] = {{0, 0}, {2, 0}, {77, 10000}, {128, 932}, {129, 949}, {134, 936}, {136, 950},
               {161, 1253}, {162, 1254}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
               {222, 874}, {238, 1250}, {255, 850}, {999, 0}};
  for (const auto& c : cases) EXPECT_EQ(CharsetToCodePage(c.Charset), c.CodePage) << c.Charset;
}

TEST(RtfTables, FontTableShapes) {
  // Entries in their own groups, entries in one run separated by ';', names in a code page,
  // a name that would break out of the CSS quotation, and an entry without its ';'.
  const struct {
    const char* Table;
    const char* Body;
    const char* Css;
  } cases[] = {
      {"{\\fonttbl{\\f0 Arial;}{\\f1{\\*\\panose 0}{\\*\\falt X}Courier New;}}", "\\f1 x", "font-family:'Courier New'"},
      {"{\\fonttbl\\f0\\fnil Arial;\\f1\\fmodern Lucida Console;}", "\\f1 x", "font-family:'Lucida Console'"},
      {"{\\fonttbl{\\f0 A;}{\\f1\\fcharset128 \\'82\\'6c\\'82\\'72 Gothic;}}", "\\f1 x", "font-family:'\uff2d\uff33 Gothic'"},
      {"{\\fonttbl{\\f0 A;}{\\f1 Ev'il<b>\"x;}}", "\\f1 x", "font-family:'Evilbx'"},
      {"{\\fonttbl{\\f0 A;}{\\f1 NoSemicolon}}", "\\f1 x", "font-family:'NoSemicolon'"},
  };
  for (const auto& c : cases) {
    const std::string html = RtfToHtml(std::string("{\\rtf1\\ansi\\deff0") + c.Table + c.Body + "}").Html;
    EXPECT_NE(html.find(c.Css), std::string::npos) << c.Table << "\n" << html;
  }
}

TEST(RtfTables, ColourTableEntries) {
  TRtfColorTable colors;
  colors.Commit();  // the leading ';': automatic
  colors.SetRed(255);
  colors.SetGreen(300);  // clipped
  colors.SetBlue(-4);
  colors.Commit();
  EXPECT_EQ(colors.Css(0), "");
  EXPECT_EQ(colors.Css(1), "#ffff00");
  EXPECT_EQ(colors.Css(2), "");
  EXPECT_EQ(colors.Css(-1), "");
}

TEST(RtfTextDecoder, RunsAcrossCodePages) {
  TRtfTextDecoder decoder;
  std::string out;
  decoder.Add("a\x82", 932, TSymbolFont::None);
  decoder.Add("\xa0", 932, TSymbolFont::None);        // second byte of one character
  decoder.Add("\xe9", 1252, TSymbolFont::None);       // a new code page decodes the run before it
  decoder.Add(std::string_view("b\0c", 3), 1251, TSymbolFont::None);
  decoder.Add("\xb7", 1252, TSymbolFont::Symbol);
  decoder.Add("\xfc", 1252, TSymbolFont::Wingdings);
  decoder.Flush(out);
  EXPECT_EQ(out, "a\u3042\u00e9bc\u2022\u2713");
  EXPECT_TRUE(decoder.Empty());
}

TEST(RtfHtmlTokenizer, Tokens) {
  const struct {
    const char* Html;
    const char* Tokens;
  } cases[] = {
      {"a<B Class=x ID='y' checked>b</b >", "T[a] S[b class=x id=y checked=] T[b] E[b] "},
      {"<img src=a.png/>", "S[img src=a.png/] "},
      {"<br/><p a=\"1&amp;2\">", "S[br/] S[p a=1&2] "},
      {"<style>p{}</b></style>x", "S[style] R[p{}</b>] E[style] T[x] "},
      {"<!-- c -->x<!x>y<?z?>", "C T[x] C T[y] C "},
      {"1 < 2 <3", "T[1 ] T[&lt;] T[ 2 ] T[&lt;] T[3] "},
      {"<a href=\"x", "S[a href=x] "},
  };
  for (const auto& c : cases) {
    THtmlTokenizer tokenizer(c.Html);
    THtmlToken t;
    std::string out;
    while (tokenizer.Next(t)) {
      switch (t.Kind) {
        case THtmlTokenKind::Text: out += "T[" + std::string(t.Text) + "] "; break;
        case THtmlTokenKind::RawText: out += "R[" + std::string(t.Text) + "] "; break;
        case THtmlTokenKind::Comment: out += "C "; break;
        case THtmlTokenKind::EndTag: out += "E[" + t.Name + "] "; break;
        case THtmlTokenKind::StartTag:
          out += "S[" + t.Name;
          for (const auto& [name, value] : t.Attributes) out += " " + name + "=" + value;
          out += std::string(t.SelfClosing ? "/" : "") + "] ";
          break;
      }
    }
    EXPECT_EQ(out, c.Tokens) << c.Html;
  }
}

TEST(RtfEncapsulated, MarkupInDocumentCodePageTextInFontCodePage) {
  // Markup bytes follow \ansicpg; text follows the charset of the font in force.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 {\\fonttbl{\\f0 A;}{\\f1\\fcharset204 C;}}"
      "{\\*\\htmltag64 <p title=\"\\'e9\">}\\htmlrtf\\f1\\htmlrtf0 \\'cf\\'f0\\'e8{\\*\\htmltag72 </p>}}";
  const TRtfConversion r = RtfToHtml(rtf);
  EXPECT_NE(r.Html.find("<p title=\"\u00e9\">\u041f\u0440\u0438</p>"), std::string::npos) << r.Html;
}

}  // namespace
