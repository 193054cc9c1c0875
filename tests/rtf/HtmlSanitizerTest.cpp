#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "BodyConversion.h"
#include "HtmlSanitizer.h"
#include "HtmlText.h"

namespace {

std::string Clean(const std::string& html) { return SanitizeHtml(html, {}); }

TEST(RtfHtmlSanitizer, DropsWhatRunsFetchesOrSubmits) {
  const struct {
    const char* Html;
    const char* Forbidden;
    const char* Kept;
  } cases[] = {
      {"<script>alert(1)</script>x", "alert", "x"},
      {"<SCRIPT type=x>a<b>c</SCRIPT >x", "<b>", "x"},
      {"<p onclick=\"steal()\" OnMouseOver=x>a</p>", "steal", "<p>a</p>"},
      {"<a href=\"javascript:alert(1)\">a</a>", "javascript", "<a>a</a>"},
      {"<a href=\" JAVASCRIPT:x\">a</a>", "JAVASCRIPT", "a"},
      {"<a href=\"http://x.org/?a=1&amp;b\">a</a>", "<a href=\"http://x.org/?a=1&b", "http://x.org/?a=1&amp;b"},
      {"<iframe src=\"http://x/\">in</iframe>after", "iframe", "after"},
      {"<object data=x><param name=a>in</object>after", "in<", "after"},
      {"<form action=\"http://x/\"><input name=a>text</form>", "input", "text"},
      {"<img src=\"http://tracker/x.gif\" alt=\"Logo\">", "<img", "<a href=\"http://tracker/x.gif\">[Logo]</a>"},
      {"<img src=\"http://tracker/x.gif\" width=1 height=1>z", "tracker", "z"},
      {"<img src=\"file:///etc/passwd\">z", "passwd", "z"},
      {"<p style=\"color:red;background:url(http://x/y);position:fixed\">a</p>", "url(", "color:red;"},
      {"<p style=\"width:expression(alert(1))\">a</p>", "expression", "<p>a</p>"},
      {"<style>@import url(http://x/);</style>a", "@import", "a"},
      {"<style><!-- p.x {margin:0} --></style>a", "<!--", "<style> p.x {margin:0} </style>"},
      {"<body background=\"http://x/bg.gif\" bgcolor=red>a", "background", "a"},
      {"<p>a<!-- secret -->b</p>", "secret", "ab"},
      {"<o:p>&nbsp;</o:p>", "o:p", "&nbsp;"},
      {"<table border=1><tr><td colspan=2>c</td></tr></table>", "<tbody", "<td colspan=\"2\">c</td>"},
      {"a < b", "< b", "a &lt; b"},
      {"<p title=\"x\" style=\"a\\62 c\">x</p>", "\\62", "title=\"x\""},
  };
  for (const auto& c : cases) {
    const std::string out = Clean(c.Html);
    EXPECT_EQ(out.find(c.Forbidden), std::string::npos) << c.Html << " -> " << out;
    EXPECT_NE(out.find(c.Kept), std::string::npos) << c.Html << " -> " << out;
  }
}

TEST(RtfHtmlSanitizer, MalformedMarkupEnds) {
  for (const char* html : {"<a href=\"x", "<p style='", "<!-- open", "<script>never closed",
                           "<", "</", "<a b=c d e=>", "<![if x]>y<![endif]>", "&#xFFFFFFFF;&#0;&"}) {
    const std::string out = Clean(html);
    EXPECT_EQ(out.find("<script"), std::string::npos) << html;
  }
}

TEST(RtfHtmlSanitizer, PicturesComeOnlyFromTheMessage) {
  const TCidLookup lookup = [](std::string_view cid, TRtfPicture& picture) {
    if (cid != "image001.png@01D2") return false;
    picture.Bytes = "\x89PNG\r\n\x1a\n";
    picture.Format = TPictureFormat::Png;
    return true;
  };
  const TRtfConversion r = ConvertHtmlBody(
      "<img src=\"cid:image001.png@01D2\" width=10><img src=\"CID:image001.png%4001D2\">"
      "<img src=\"cid:missing@x\" alt=\"gone\"><img src=\"data:image/png;base64,iVBORw0KGgo=\">",
      lookup);
  ASSERT_EQ(r.Pictures.size(), 2u);  // the same cid twice is one picture
  EXPECT_NE(r.Html.find("<img src=\"velquin-pict:0\" width=\"10\"><img src=\"velquin-pict:0\">"),
            std::string::npos) << r.Html;
  EXPECT_EQ(r.Html.find("missing"), std::string::npos);
  EXPECT_EQ(r.Pictures[1].Bytes, std::string("\x89PNG\r\n\x1a\n"));
  EXPECT_EQ(r.Pictures[1].Format, TPictureFormat::Png);
}

std::size_t Count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (auto at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

std::string NestedTables(int depth, const std::string& inside) {
  std::string html;
  for (int i = 0; i < depth; ++i) html += "<table><tr><td style=\"color:red\">";
  html += inside;
  for (int i = 0; i < depth; ++i) html += "</td></tr></table>";
  return html;
}

TEST(RtfHtmlSanitizer, TablesNestedDeeperThanEightBecomeBlocks) {
  for (int depth : {1, 8, 9, 20, 3000}) {
    const std::string out = Clean(NestedTables(depth, "x") + "after");
    const std::size_t tables = static_cast<std::size_t>(std::min(depth, 8));
    EXPECT_EQ(Count(out, "<table"), tables) << depth;
    EXPECT_EQ(Count(out, "</table>"), tables) << depth;
    EXPECT_EQ(Count(out, "<td"), tables) << depth;
    // Beyond the bound: the cells' content, one line each, without a nesting of its own.
    EXPECT_EQ(Count(out, "<br>"), depth > 8 ? 1u : 0u) << depth;
    // Everything after the deepest table is back outside all of them.
    EXPECT_GT(out.find("after"), out.rfind("</table>")) << depth;
  }
  // A stray end tag closes nothing, so it cannot end the flattening early.
  const std::string stray = Clean("</table>" + NestedTables(10, "x"));
  EXPECT_EQ(Count(stray, "<table"), 8u) << stray;
  const std::string cells = Clean(NestedTables(9, "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>"));
  EXPECT_NE(cells.find("a<br>b<br>c<br>"), std::string::npos) << cells;
}

TEST(RtfHtmlSanitizer, LengthsBecomePixels) {
  const struct {
    const char* Css;
    const char* Kept;
  } cases[] = {
      {"margin-left:.5in", "margin-left:48px;"},
      {"margin:0in 0in 0in 36pt", "margin:0px 0px 0px 48px;"},
      {"border-left:solid #1F497D 1.5pt;padding:0cm 0cm 0cm 4.0pt", "border-left:solid #1F497D 2px;padding:0px 0px 0px 5px;"},
      {"border:solid windowtext .5pt", "border:solid windowtext 1px;"},
      {"text-indent:-18.0pt", "text-indent:-24px;"},
      {"margin-left:2.54cm;padding-left:2em", "margin-left:96px;padding-left:32px;"},
      {"width:10mm;height:1pc", "width:38px;height:16px;"},
      {"font-size:11pt", "font-size:15px;"},
      {"font-size:1.2em;line-height:1.5;width:50%", "font-size:1.2em;line-height:1.5;width:50%;"},
      {"font-family:h1in", "font-family:h1in;"},
      // Light weights are shown at normal weight (their faces lack scripts); others stay.
      {"font-weight:300;color:red", "font-weight:normal;color:red;"},
      {"font-weight: 200 !important", "font-weight:normal;"},
      {"font-weight:Lighter", "font-weight:normal;"},
      {"font-weight:600;font-weight:bold;font-weight:400", "font-weight:600;font-weight:bold;font-weight:400;"},
      {"font:300 12pt Arial", "font:normal 16px Arial;"},
      {"font:italic 700 12pt Arial", "font:italic 700 16px Arial;"},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeStyle(c.Css), c.Kept) << c.Css;
  const std::string sheet = Clean("<style>p.MsoNormal{margin:0in;font-size:12.0pt} .q{font-size:.9em;margin-left:1em;font-weight:300}</style>");
  EXPECT_NE(sheet.find("p.MsoNormal{margin:0px;font-size:16px} .q{font-size:.9em;margin-left:16px;font-weight:normal}"), std::string::npos) << sheet;
}

TEST(RtfHtmlSanitizer, StyleSheetsLoseOnlyWhatIsDangerous) {
  const struct {
    const char* Css;
    const char* Kept;  // empty: only checked for what must be gone
  } cases[] = {
      {"p.MsoNormal{margin:0px;font-family:\"\\5B8B\\4F53\"}", "<style>p.MsoNormal{margin:0px;}</style>"},
      {"@font-face{font-family:x;src:url(http://x/f)} p{margin:0px}", "<style>@font-face{font-family:x;} p{margin:0px}</style>"},
      {"@import url(http://x/a.css); p{color:red}", "<style> p{color:red}</style>"},
      {"div[x=\"\\\"\"]{color:red} q{color:blue}", "<style> q{color:blue}</style>"},
      {"@media screen{p{background:url(x)}} a{color:red}", "<style> a{color:red}</style>"},
      {"p{color:red}}url(x){", ""},
  };
  for (const auto& c : cases) {
    const std::string out = Clean(std::string("<style>") + c.Css + "</style>");
    if (*c.Kept) {
      EXPECT_NE(out.find(c.Kept), std::string::npos) << c.Css << " -> " << out;
    }
    EXPECT_EQ(out.find("url("), std::string::npos) << out;
    EXPECT_EQ(out.find('\\'), std::string::npos) << out;
  }
}

TEST(RtfHtmlText, BlocksCellsAndEntities) {
  const struct {
    const char* Html;
    const char* Text;
  } cases[] = {
      {"<p>a\n  b</p><p>c</p>", "a b\nc\n"},
      {"x<br>y<div>z</div>", "x\ny\nz\n"},
      {"<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>", "1\t2\n3\n"},
      {"<head><title>T</title><style>p{}</style></head>&eacute;&amp;&#233;&#x2014;&#150;&bogus;", "\u00e9&\u00e9\u2014\u2013&bogus;\n"},
      {"<pre>a\n  b</pre>", "a\n  b\n"},
      {"<img alt=\"Logo\"> text", "Logo text\n"},
      {"<img src=\"CID:image001.png@01D2\" alt=\"image001.png\"> text", "text\n"},
      // The whole list of names: long names, two code points, case, and the legacy names
      // that may omit ';' (the longest legacy prefix is taken, as a browser does).
      {"&CounterClockwiseContourIntegral;&NotEqualTilde;&Rarr;&rarr;&zwnj;x", "\u2233\u2242\u0338\u21a0\u2192\u200cx\n"},
      {"&copy2024 &notin; &notit; &hellip &amp", "\u00a92024 \u2209 \u00acit; &hellip &\n"},
      // Lists as a reader sees them: bullets, numbers from start, nested lists indented.
      {"<p>Items:</p><ul><li> one</li><li>two\n</li></ul>after", "Items:\n\u2022 one\n\u2022 two\nafter\n"},
      {"<ol start=\"3\"><li>c<li>d</ol><ol><li>a</ol>", "3. c\n4. d\n1. a\n"},
      {"<ul><li>a<ol><li>b</li></ol></li><li>c</li></ul>", "\u2022 a\n  1. b\n\u2022 c\n"},
      {"<li>stray</li><ol start=x><li>x</li></ol>", "\u2022 stray\n1. x\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlToText(c.Html), c.Text) << c.Html;
}

TEST(RtfHtmlText, DeclaredCharset) {
  EXPECT_EQ(HtmlDeclaredCodePage("<meta http-equiv=Content-Type content=\"text/html; charset=koi8-r\">"), 20866u);
  EXPECT_EQ(HtmlDeclaredCodePage("<meta charset='windows-1255'>"), 1255u);
  EXPECT_EQ(HtmlDeclaredCodePage("<meta charset=iso-8859-2>"), 28592u);
  EXPECT_EQ(HtmlDeclaredCodePage("<meta charset=UTF-8>"), 65001u);
  EXPECT_EQ(HtmlDeclaredCodePage("<p>no meta</p>"), 0u);
}

}  // namespace
