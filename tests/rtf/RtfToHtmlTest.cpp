#include <gtest/gtest.h>

#include <string>

#include "RtfToHtml.h"

namespace {

std::string Text(const std::string& rtf) { return RtfToHtml(rtf).Text; }
std::string Html(const std::string& rtf) { return RtfToHtml(rtf).Html; }
std::string Doc(const std::string& body) {
  return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}"
         "{\\f2\\fcharset2 Symbol;}{\\f3\\fcharset204 Arial Cyr;}}"
         "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" + body + "}";
}

struct TCase {
  const char* Rtf;
  const char* Text;
};

TEST(RtfText, CharactersAndCodePages) {
  const TCase cases[] = {
      {"{\\rtf1\\ansi caf\\'e9}", "caf\u00e9\n"},
      {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", "\u041f\u0440\u0438\n"},
      {"{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}", "\u3042\n"},            // two escapes, one character
      {"{\\rtf1\\ansi{\\fonttbl{\\f1\\cpg1253 G;}}\\f1 \\'e1}", "\u03b1\n"},
      {"{\\rtf1\\ansi\\ansicpg99999 \\'e9}", "\u00e9\n"},               // unknown code page: 1252
      {"{\\rtf1 \\u8364?}", "\u20ac\n"},
      {"{\\rtf1 \\uc2\\u8364 ab c}", "\u20ac c\n"},
      {"{\\rtf1 \\uc0\\u8364 x}", "\u20acx\n"},
      {"{\\rtf1 \\u8364\\'80x}", "\u20acx\n"},                          // an escape is one character
      {"{\\rtf1 \\u-10179?\\u-8704?}", "\U0001F600\n"},                  // surrogate pair
      {"{\\rtf1 {\\uc3\\u8364}x}", "\u20acx\n"},                         // a group ends the skipping
      {"{\\rtf1 a\\~b\\-c\\_d}", "a\u00a0bc\u2011d\n"},
      {"{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}",
       "\u2014\u2013\u2022\u2018\u2019\u201c\u201d\n"},
      {"{\\rtf1 \\{x\\}\\\\}", "{x}\\\n"},
      {"{\\rtf1 a\\tab b\\line c\\par d}", "a\tb\nc\nd\n"},
      {"{\\rtf1 shown{\\v hidden}\\v0 too}", "showntoo\n"},
      {"{\\rtf1 a\\unknownword b}", "ab\n"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Text(c.Rtf), c.Text) << c.Rtf;
}

TEST(RtfText, SymbolAndCharsetFonts) {
  EXPECT_EQ(Text(Doc("{\\f2 \\'b7}\\f3 \\'cf")), "\u2022\u041f\n");
}

TEST(RtfText, DestinationsNotShown) {
  const TCase cases[] = {
      {"{\\rtf1{\\info{\\title T}{\\author A}}x}", "x\n"},
      {"{\\rtf1{\\stylesheet{\\s0 Normal;}}x}", "x\n"},
      {"{\\rtf1{\\header H}{\\footer F}x}", "x\n"},
      {"{\\rtf1{\\*\\unknowndest junk{\\b more}}x}", "x\n"},
      {"{\\rtf1{\\*\\bkmkstart mark}x{\\*\\bkmkend mark}}", "x\n"},
      {"{\\rtf1{\\pn\\pnlvlblt{\\pntxtb \\'b7}}x}", "x\n"},
      {"{\\rtf1{\\*\\htmltag64 <p>}x}", "x\n"},                       // markup only matters in \fromhtml
      {"{\\rtf1{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}}", "7\n"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Text(c.Rtf), c.Text) << c.Rtf;
}

TEST(RtfFormatting, CharacterFormatsBecomeStyles) {
  const struct {
    const char* Body;
    const char* Css;
  } cases[] = {
      {"\\b x", "font-weight:bold"},
      {"\\i x", "font-style:italic"},
      {"\\ul x", "text-decoration: underline"},
      {"\\strike x", "line-through"},
      {"\\fs28 x", "font-size:14pt"},
      {"\\fs21 x", "font-size:10.5pt"},
      {"\\cf1 x", "color:#ff0000"},
      {"\\highlight2 x", "background-color:#0000ff"},
      {"\\cb1 x", "background-color:#ff0000"},
      {"\\f1 x", "font-family:'Courier New'"},
      {"\\super x", "vertical-align:super"},
      {"\\qc x\\par", "text-align:center"},
      {"\\qr x\\par", "text-align:right"},
      {"\\qj x\\par", "text-align:justify"},
      {"\\li720 x\\par", "margin-left:48px"},
      {"\\ri300 x\\par", "margin-right:20px"},
      {"\\fi-360 x\\par", "text-indent:-24px"},
      {"\\sb240\\sa120 x\\par", "margin-top:16px;margin-bottom:8px"},
  };
  for (const auto& c : cases) EXPECT_NE(Html(Doc(c.Body)).find(c.Css), std::string::npos) << c.Body;
}

TEST(RtfFormatting, GroupsRestoreFormattingAndRunsMerge) {
  const std::string html = Html(Doc("{\\b bold}plain\\b a\\b0\\b b\\plain c"));
  EXPECT_NE(html.find("<span style=\"font-weight:bold;\">bold</span>plain"), std::string::npos) << html;
  EXPECT_NE(html.find("<span style=\"font-weight:bold;\">ab</span>c"), std::string::npos) << html;
  EXPECT_NE(html.find("font-family:'Arial'"), std::string::npos);  // the document's font, once
}

TEST(RtfFormatting, ShadingIndexZeroAndPageColour) {
  // Writers that define colour 0 still mean "none" by \cb0 and \highlight0.
  const TRtfConversion r = RtfToHtml(
      "{\\rtf1{\\colortbl\\red0\\green0\\blue0;}{\\*\\background{\\shp{\\*\\shpinst"
      "{\\sp{\\sn fillColor}{\\sv 255}}{\\sp{\\sn fillBlip}{\\sv{\\pict\\pngblip 0102}}}}}}"
      "\\cb0\\highlight0 x{\\pict\\pngblip 0304}}");
  EXPECT_EQ(r.Html.find("background-color:#000000"), std::string::npos) << r.Html;
  EXPECT_EQ(r.PageColor, "#ff0000");
  EXPECT_NE(r.Html.find("background-color:#ff0000"), std::string::npos);
  ASSERT_EQ(r.Pictures.size(), 1u);  // the background's fill picture is not part of the text
  EXPECT_EQ(r.Pictures[0].Bytes, "\x03\x04");
  EXPECT_EQ(r.Text, "x\n");
  // So does a cell without \clcbpat, or with \clcbpat0: black text on black otherwise.
  for (const char* shade : {"", "\\clcbpat0"}) {
    const std::string cell = RtfToHtml(std::string("{\\rtf1{\\colortbl\\red0\\green0\\blue0;}\\trowd") +
                                       shade + "\\cellx1500\\pard\\intbl A\\cell\\row}").Html;
    EXPECT_EQ(cell.find("bgcolor"), std::string::npos) << shade << cell;
  }
}

TEST(RtfFormatting, TextIsEscaped) {
  const std::string html = Html(Doc("<script>&\"a  b"));
  EXPECT_NE(html.find("&lt;script&gt;&amp;&quot;a&nbsp; b"), std::string::npos) << html;
}

TEST(RtfLists, LabelsAreKept) {
  // Word writes the label in \listtext; older writers in \pntext; some write neither.
  EXPECT_EQ(Text(Doc("\\ls1{\\listtext\\f2 \\'b7\\tab}One\\par")), "\u2022\tOne\n");
  EXPECT_EQ(Text(Doc("{\\pntext 1.\\tab}One\\par")), "1.\tOne\n");
  EXPECT_EQ(Text(Doc("\\ls1 One\\par\\pard Two\\par")), "\u2022 One\nTwo\n");
  // \pard inside the label group does not end the list paragraph's indent.
  const std::string html = Html(Doc("\\li720\\fi-360{\\listtext\\pard\\plain \\f2 \\'b7\\tab}One\\par"));
  EXPECT_NE(html.find("margin-left:48px"), std::string::npos) << html;
}

TEST(RtfTables, RowsAndCells) {
  const std::string rtf = Doc(
      "before\\par\\trowd\\trgaph108\\clbrdrt\\brdrs\\clcbpat1\\cellx1500\\cellx3000"
      "\\pard\\intbl A1\\cell B1\\par second line\\cell\\row"
      "\\trowd\\cellx1500\\cellx3000\\pard\\intbl A2\\cell B2\\cell\\row\\pard after\\par");
  const TRtfConversion r = RtfToHtml(rtf);
  EXPECT_EQ(r.Text, "before\nA1\nB1\nsecond line\nA2\nB2\nafter\n");
  EXPECT_NE(r.Html.find("<table"), std::string::npos);
  EXPECT_NE(r.Html.find("border=\"1\""), std::string::npos);
  EXPECT_NE(r.Html.find("<td valign=\"top\" width=\"100\" bgcolor=\"#ff0000\">"), std::string::npos) << r.Html;
  EXPECT_EQ(r.Html.find("</table>") < r.Html.find("after"), true);
  std::size_t rows = 0;
  for (auto at = r.Html.find("<tr>"); at != std::string::npos; at = r.Html.find("<tr>", at + 1)) ++rows;
  EXPECT_EQ(rows, 2u);
}

TEST(RtfLinks, HyperlinkFields) {
  const struct {
    const char* Field;
    const char* Href;  // empty: no link at all
  } cases[] = {
      {"{\\field{\\*\\fldinst{HYPERLINK \"http://example.com/a?b=1&c=2\"}}{\\fldrslt{\\ul here}}}",
       "http://example.com/a?b=1&amp;c=2"},
      {"{\\field{\\*\\fldinst HYPERLINK \"mailto:a@b.c\" \\\\o \"tip\"}{\\fldrslt here}}", "mailto:a@b.c"},
      {"{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt here}}", "#top"},
      {"{\\field{\\*\\fldinst HYPERLINK \"javascript:alert(1)\"}{\\fldrslt here}}", ""},
      {"{\\field{\\*\\fldinst HYPERLINK \"file:///etc/passwd\"}{\\fldrslt here}}", ""},
  };
  for (const auto& c : cases) {
    const TRtfConversion r = RtfToHtml(Doc(std::string("see ") + c.Field + " now"));
    EXPECT_EQ(r.Text, "see here now\n") << c.Field;
    if (*c.Href) EXPECT_NE(r.Html.find(std::string("<a href=\"") + c.Href + "\">"), std::string::npos) << r.Html;
    else EXPECT_EQ(r.Html.find("<a "), std::string::npos) << r.Html;
  }
}

TEST(RtfPictures, FormatsSizesAndData) {
  const struct {
    std::string Pict;
    TPictureFormat Format;
    std::string Bytes;
    int W, H;
  } cases[] = {
      {"{\\pict\\pngblip\\picw10\\pich5\\picwgoal1500\\pichgoal750 89504e47\r\n0d0a}",
       TPictureFormat::Png, "\x89PNG\r\n", 100, 50},
      {"{\\pict\\jpegblip\\picw40\\pich20 ffd8ff}", TPictureFormat::Jpeg, "\xff\xd8\xff", 40, 20},
      {"{\\pict\\wmetafile8\\picw2540\\pich1270 0102}", TPictureFormat::Wmf, "\x01\x02", 96, 48},
      {"{\\pict\\emfblip\\picwgoal300\\pichgoal300\\picscalex50\\picscaley200 01}",
       TPictureFormat::Emf, "\x01", 10, 40},
      {"{\\pict\\dibitmap0\\picw1\\pich1\\bin3 {}\\}", TPictureFormat::Dib, "{}\\", 1, 1},
  };
  for (const auto& c : cases) {
    const TRtfConversion r = RtfToHtml(Doc("a" + c.Pict + "b"));
    ASSERT_EQ(r.Pictures.size(), 1u) << c.Pict;
    EXPECT_EQ(r.Pictures[0].Format, c.Format);
    EXPECT_EQ(r.Pictures[0].Bytes, c.Bytes);
    EXPECT_EQ(r.Pictures[0].WidthPx, c.W) << c.Pict;
    EXPECT_EQ(r.Pictures[0].HeightPx, c.H) << c.Pict;
    EXPECT_NE(r.Html.find("<img src=\"velquin-pict:0\" width=\"" + std::to_string(c.W)), std::string::npos);
    EXPECT_EQ(r.Text, "ab\n");
  }
}

TEST(RtfPictures, BitmapsAndMetafilesGetTheirFileHeaders) {
  // A 1x1 24-bit DIB: 40-byte info header, one 4-byte row.
  std::string dib = "28000000" "01000000" "01000000" "0100" "1800" "00000000" "04000000"
                    "00000000" "00000000" "00000000" "00000000" "0000ff00";
  const TRtfConversion bmp = RtfToHtml(Doc("{\\pict\\dibitmap0\\picw1\\pich1 " + dib + "}"));
  ASSERT_EQ(bmp.Pictures.size(), 1u);
  EXPECT_EQ(bmp.Pictures[0].Format, TPictureFormat::Bmp);
  EXPECT_EQ(bmp.Pictures[0].Bytes.substr(0, 2), "BM");
  EXPECT_EQ(bmp.Pictures[0].Bytes.size(), 14u + 44u);
  EXPECT_EQ(bmp.Pictures[0].Bytes[10], 54);  // pixels right after both headers
  // A metafile header (type 1, 9 words): a placeable header of the goal size goes in front.
  const TRtfConversion wmf = RtfToHtml(Doc(
      "{\\pict\\wmetafile8\\picwgoal1440\\pichgoal720 0100090000030000000000000000000000000000}"));
  ASSERT_EQ(wmf.Pictures.size(), 1u);
  const std::string& w = wmf.Pictures[0].Bytes;
  ASSERT_EQ(w.size(), 22u + 20u);
  EXPECT_EQ(w.substr(0, 4), "\xD7\xCD\xC6\x9A");
  EXPECT_EQ(static_cast<unsigned char>(w[10]) | (static_cast<unsigned char>(w[11]) << 8), 1440);
  EXPECT_EQ(static_cast<unsigned char>(w[12]) | (static_cast<unsigned char>(w[13]) << 8), 720);
}

TEST(RtfPictures, ShapePictureWinsOverItsFallback) {
  const TRtfConversion r = RtfToHtml(Doc(
      "{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict\\wmetafile8 0102}}"));
  ASSERT_EQ(r.Pictures.size(), 1u);
  EXPECT_EQ(r.Pictures[0].Format, TPictureFormat::Png);
}

TEST(RtfEncapsulated, HtmlIsRebuilt) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 \\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
      "{\\*\\htmltag19 <html>}{\\*\\htmltag34 <head><style>p \\{margin:0\\}\\par</style>}"
      "{\\*\\htmltag1 <script>alert(1)</script>}"
      "{\\*\\htmltag64 <p class=x>}\\htmlrtf {\\htmlrtf0 Caf\\'e9 \\u8364? &amp; 1\\~2"
      "{\\*\\htmltag84 <a href=\"http://x.org/\">}\\htmlrtf {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt\\htmlrtf0 link"
      "{\\*\\htmltag92 </a>}\\htmlrtf }}\\htmlrtf0"
      "\\htmlrtf\\par\\htmlrtf0{\\*\\htmltag72 </p>}\\htmlrtf }\\htmlrtf0 {\\*\\htmltag27 </html>}}";
  const TRtfConversion r = RtfToHtml(rtf);
  EXPECT_EQ(r.Source, TBodySource::RtfEncapsulatedHtml);
  EXPECT_NE(r.Html.find("<p class=\"x\">Caf\u00e9 \u20ac &amp; 1\u00a02<a href=\"http://x.org/\">link</a></p>"),
            std::string::npos) << r.Html;
  EXPECT_NE(r.Html.find("<style>p {margin:0}"), std::string::npos) << r.Html;
  EXPECT_EQ(r.Html.find("alert"), std::string::npos);
  EXPECT_EQ(r.Text, "Caf\u00e9 \u20ac & 1\u00a02link\n");
}

TEST(RtfEncapsulated, TextAndPlainInput) {
  const TRtfConversion text = RtfToHtml("{\\rtf1\\ansi\\fromtext \\pard line one\\par line <two>\\par}");
  EXPECT_EQ(text.Source, TBodySource::RtfEncapsulatedText);
  EXPECT_EQ(text.Text, "line one\nline <two>\n");
  const TRtfConversion plain = RtfToHtml("no rtf here\r\n<b>caf\xe9</b>");
  EXPECT_EQ(plain.Source, TBodySource::PlainText);
  EXPECT_EQ(plain.Text, "no rtf here\r\n<b>caf\u00e9</b>");
  EXPECT_NE(plain.Html.find("no rtf here<br>&lt;b&gt;caf\u00e9&lt;/b&gt;"), std::string::npos) << plain.Html;
}

}  // namespace

TEST(RtfOutputs, EachBuiltAloneEqualsTheSameBuiltWithTheOther) {
  std::string longBody = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}";
  for (int i = 0; i < 3000; ++i) longBody += "Line {\\b " + std::to_string(i) + "} caf\\'e9 & <x>\\par\n";
  longBody += "}";
  const std::string documents[] = {
      longBody,
      // A table, a link, a list label left out, a picture.
      "{\\rtf1{\\fonttbl{\\f0 Times;}{\\f1 Arial;}}\\deff1 a\\tab b\\line c\\par"
      "\\trowd\\cellx1000\\cellx2000\\intbl one\\cell two\\cell\\row\\pard"
      "{\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt link}}\\par"
      "\\ls1\\ilvl0 item\\par{\\pict\\pngblip 0102}}",
      // The default font and the page colour known only after the first paragraph.
      "{\\rtf1 first\\par{\\fonttbl{\\f3 Courier;}}\\deff3{\\colortbl;\\red1\\green2\\blue3;}"
      "{\\*\\background{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 197121}}}}}second\\par}",
      "{\\rtf1\\ansi\\fromhtml1 {\\*\\htmltag19 <html><body>}text <b>{\\*\\htmltag84 <b>}bold{\\*\\htmltag92 </b>}\\par}",
      "plain text\r\nsecond line",
      "",
  };
  for (const std::string& doc : documents) {
    const TRtfConversion both = RtfToHtml(doc);
    const TRtfConversion html = RtfToHtml(doc, 1252, TBodyOutputs::Html);
    const TRtfConversion text = RtfToHtml(doc, 1252, TBodyOutputs::Text);
    EXPECT_EQ(html.Html, both.Html) << doc.substr(0, 80);
    EXPECT_EQ(text.Text, both.Text) << doc.substr(0, 80);
    EXPECT_TRUE(html.Text.empty() && text.Html.empty()) << doc.substr(0, 80);
    EXPECT_EQ(html.PageColor, both.PageColor);
  }
}
