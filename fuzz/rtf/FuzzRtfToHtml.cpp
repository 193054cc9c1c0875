// Feeds the input to the RTF converter and, as HTML, to the sanitiser; traps when the page
// would hold an element or a picture address the pane must never see, or grows out of
// proportion to the input, nests tables deeper than the text engine lays out in linear time,
// or keeps a length the engine would not honour (anything but px, em in font sizes).

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

#include "BodyConversion.h"
#include "CssLengths.h"
#include "RtfToHtml.h"

namespace {

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

std::string Unescape(std::string s) {
  for (const auto& [from, to] : {std::pair<std::string_view, std::string_view>{"&quot;", "\""},
                                 {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
    for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
      s.replace(at, from.size(), to);
  return s;
}

// Every style value and style sheet is already in px: converting again changes nothing.
// escaped: an attribute value (a style sheet is written as it is).
void CheckLengths(const std::string& css, bool escaped) {
  const std::string plain = escaped ? Unescape(css) : css;
  if (CssLengthsToPx(plain) != plain) __builtin_trap();
}

// Walks the tags of the page; the page's text never holds a bare '<', so each one opens a tag.
// sanitised: the page came through the HTML sanitiser (RTF pages give font sizes in pt).
void CheckPage(const std::string& html, std::size_t inputSize, bool sanitised) {
  if (html.size() > 64 * inputSize + (2u << 20)) __builtin_trap();
  std::size_t at = 0;
  int tables = 0;
  while ((at = html.find('<', at)) != std::string::npos) {
    std::size_t end = at + 1;
    char quote = 0;
    for (; end < html.size(); ++end) {
      const char c = html[end];
      if (quote) { if (c == quote) quote = 0; }
      else if (c == '"') quote = c;  // values are always written in double quotes
      else if (c == '>') break;
    }
    std::string tag = html.substr(at, end - at);
    for (char& c : tag) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (StartsWith(tag, "<table") && ++tables > 8) __builtin_trap();
    if (StartsWith(tag, "</table")) --tables;
    if (sanitised && StartsWith(tag, "<style>")) {
      const std::size_t close = html.find("</style>", end);
      CheckLengths(html.substr(end + 1, close == std::string::npos ? std::string::npos : close - end - 1), false);
    }
    for (std::string_view bad : {"<script", "<iframe", "<object", "<embed", "<form", "<input",
                                 "<frame", "<applet", "<meta", "<link", "<base"})
      if (StartsWith(tag, bad)) __builtin_trap();
    // Attributes, outside quoted values: no event handler, pictures only from the message.
    char q = 0;
    for (std::size_t i = 0; i < tag.size(); ++i) {
      if (q) { if (tag[i] == q) q = 0; continue; }
      if (tag[i] == '"') { q = tag[i]; continue; }
      if (tag.compare(i, 3, " on") == 0) __builtin_trap();
      // A style attribute (not the words " style=" inside another attribute's value).
      if (sanitised && tag.compare(i, 8, " style=\"") == 0) {
        const std::size_t close = tag.find('"', i + 8);
        CheckLengths(html.substr(at + i + 8, close == std::string::npos ? std::string::npos : close - i - 8), true);
      }
      if (tag.compare(i, 6, " src=\"") == 0 && tag.compare(i + 6, 13, "velquin-pict:") != 0)
        __builtin_trap();
    }
    at = end;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const TRtfConversion rtf = RtfToHtml(input);
  CheckPage(rtf.Html, size, rtf.Source == TBodySource::RtfEncapsulatedHtml);
  if (rtf.Text.size() > 16 * size + (1u << 20)) __builtin_trap();
  const TRtfConversion html = ConvertHtmlBody(input, [](std::string_view, TRtfPicture& picture) {
    picture.Bytes = "x";
    picture.Format = TPictureFormat::Png;
    return true;
  });
  CheckPage(html.Html, size, true);
  return 0;
}
