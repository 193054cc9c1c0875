#include "HtmlSanitizer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "CssLengths.h"
#include "HtmlTokenizer.h"
#include "RtfHtmlWriter.h"
#include "RtfToHtml.h"

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool In(std::string_view name, std::initializer_list<std::string_view> set) {
  return std::find(set.begin(), set.end(), name) != set.end();
}

// Elements shown as they are.
bool AllowedElement(std::string_view n) {
  return In(n, {"a", "abbr", "acronym", "address", "b", "big", "blockquote", "br", "caption",
                "center", "cite", "code", "col", "colgroup", "dd", "del", "dfn", "div", "dl", "dt",
                "em", "font", "h1", "h2", "h3", "h4", "h5", "h6", "hr", "i", "img", "ins", "kbd",
                "li", "nobr", "ol", "p", "pre", "q", "s", "samp", "small", "span", "strike",
                "strong", "sub", "sup", "table", "tbody", "td", "tfoot", "th", "thead", "tr", "tt",
                "u", "ul", "var", "style"});
}

// Elements dropped together with everything inside them.
bool DroppedWithContent(std::string_view n) {
  return In(n, {"script", "noscript", "iframe", "object", "embed", "applet", "frameset", "frame",
                "noframes", "select", "textarea", "button", "svg", "math", "template", "title",
                "head-script", "xml", "audio", "video", "canvas", "map"});
}

bool AllowedAttribute(std::string_view n) {
  return In(n, {"align", "valign", "dir", "lang", "width", "height", "bgcolor", "color", "face",
                "size", "border", "cellpadding", "cellspacing", "colspan", "rowspan", "nowrap",
                "start", "type", "value", "alt", "name", "class", "title", "span", "clear"});
}

bool VoidElement(std::string_view n) {
  return In(n, {"br", "hr", "img", "col", "wbr", "meta", "link", "input", "base", "area", "param"});
}

// A style value that could fetch, run or escape its declaration.
bool DangerousCss(std::string_view value) {
  const std::string v = Lower(value);
  static constexpr std::string_view kBad[] = {"url(", "expression", "javascript", "vbscript",
                                              "behavior", "-moz-binding", "@import", "\\", "<",
                                              "image(", "image-set("};
  for (std::string_view bad : kBad)
    if (v.find(bad) != std::string::npos) return true;
  return false;
}

std::string Attr(std::string_view name, std::string_view value) {
  std::string out = " ";
  out += name;
  out += "=\"";
  out += HtmlEscape(value);
  out += '"';
  return out;
}

// Tables nested deeper than this are written as stacked blocks: the text engine lays out
// nested tables in time that grows with each level, and newsletters nest no deeper than this.
constexpr std::size_t kMaxTableDepth = 8;

bool TablePart(std::string_view n) {
  return In(n, {"tr", "td", "th", "tbody", "thead", "tfoot", "caption", "col", "colgroup"});
}

// Inside a table beyond the nesting bound the table's tags go and the end of each cell, row
// and caption becomes a line break: its content stays in the cell at the bound, one block
// after another. Nested <div>s instead would cost the engine time in the square of the depth.
bool EndsLineWhenFlat(std::string_view n) { return n == "tr" || n == "td" || n == "th" || n == "caption"; }

// <font size>: 1 to 7, or relative to 3 ("+1", "-2"); the sizes a browser gives them at its
// 16 px default. The text engine would scale its own, smaller UI font instead. 0: invalid.
int FontSizePx(std::string_view value) {
  static constexpr int kPx[] = {10, 13, 16, 18, 24, 32, 48};
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  if (value.empty()) return 0;
  const char sign = value.front() == '+' || value.front() == '-' ? value.front() : 0;
  if (sign) value.remove_prefix(1);
  if (value.empty() || value.front() < '0' || value.front() > '9') return 0;
  int n = value.front() - '0';  // one digit: every size past 7 is 7
  if (sign) n = 3 + (sign == '+' ? n : -n);
  return kPx[std::clamp(n, 1, 7) - 1];
}

bool BlockElement(std::string_view n) {
  return In(n, {"p", "div", "li", "ul", "ol", "dl", "dd", "dt", "blockquote", "pre", "center",
                "h1", "h2", "h3", "h4", "h5", "h6", "table", "td", "th", "address"});
}

// The text engine mirrors text-align in a right-to-left block (left means the start); a
// browser does not. Swapping the two draws the block where the body puts it.
std::string MirrorTextAlign(std::string css) {
  for (std::size_t at = css.find("text-align:"); at != std::string::npos; at = css.find("text-align:", at + 1)) {
    const std::size_t value = at + 11;
    if (css.compare(value, 5, "right") == 0) css.replace(value, 5, "left");
    else if (css.compare(value, 4, "left") == 0) css.replace(value, 4, "right");
  }
  return css;
}

// A style sheet without the parts that could load or run: a rule whose selector or at-rule
// is dangerous goes whole; in the others only the dangerous declarations go, so that a CJK
// font name (written with backslash escapes) costs the font, not the rule's margins.
std::string SafeStyleSheet(std::string_view css) {
  std::string out;
  std::size_t i = 0;
  while (i < css.size()) {
    const std::size_t open = css.find_first_of("{;", i);
    if (open == std::string_view::npos) {
      if (!DangerousCss(css.substr(i))) out.append(css.substr(i));
      break;
    }
    const std::string_view prelude = css.substr(i, open - i);
    if (css[open] == ';') {
      if (!DangerousCss(prelude)) out.append(css.substr(i, open + 1 - i));
      i = open + 1;
      continue;
    }
    // The block's end, over nested blocks (@media).
    std::size_t close = open + 1;
    bool nested = false;
    for (int depth = 1; close < css.size(); ++close) {
      if (css[close] == '{') { ++depth; nested = true; }
      if (css[close] == '}' && --depth == 0) break;
    }
    const std::string_view body = css.substr(open + 1, std::min(close, css.size()) - open - 1);
    i = close + 1;
    if (DangerousCss(prelude)) continue;
    if (nested) {
      if (!DangerousCss(body)) out.append(prelude).append("{").append(body).append("}");
      continue;
    }
    out.append(prelude).append("{");
    std::size_t start = 0;
    while (start < body.size()) {
      std::size_t end = body.find(';', start);
      if (end == std::string_view::npos) end = body.size();
      const std::string_view decl = body.substr(start, end - start);
      if (!DangerousCss(decl)) out.append(decl).append(end < body.size() ? ";" : "");
      start = end + 1;
    }
    out.append("}");
  }
  // Pieces end at a brace or a semicolon, which none of the dangerous words holds, so
  // joining safe pieces cannot make one; the whole is checked all the same.
  return DangerousCss(out) ? std::string() : out;
}

// A colour attribute's value: a name or #rgb / #rrggbb, nothing else.
bool PlainColour(std::string_view v) {
  return !v.empty() && v.size() <= 32 &&
         std::all_of(v.begin(), v.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '#'; });
}

}  // namespace

std::string SanitizeStyle(std::string_view css) {
  static constexpr std::string_view kProperties[] = {
      "color", "background-color", "font-family", "font-size", "font-weight", "font-style",
      "font-variant", "font", "text-decoration", "text-align", "text-indent", "text-transform",
      "margin", "margin-top", "margin-bottom", "margin-left", "margin-right", "padding",
      "padding-top", "padding-bottom", "padding-left", "padding-right", "border",
      "border-top", "border-bottom", "border-left", "border-right", "border-width",
      "border-style", "border-color", "border-collapse", "width", "height", "vertical-align",
      "white-space", "line-height", "list-style-type", "direction", "background",
      "letter-spacing", "word-spacing"};
  std::string out;
  std::size_t start = 0;
  while (start <= css.size()) {
    std::size_t end = css.find(';', start);
    if (end == std::string_view::npos) end = css.size();
    const std::string_view decl = css.substr(start, end - start);
    start = end + 1;
    const auto colon = decl.find(':');
    if (colon == std::string_view::npos) continue;
    std::string name = Lower(decl.substr(0, colon));
    name.erase(std::remove_if(name.begin(), name.end(),
                              [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
               name.end());
    std::string_view value = decl.substr(colon + 1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front()))) value.remove_prefix(1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.remove_suffix(1);
    if (value.empty() || DangerousCss(value)) continue;
    if (std::find(std::begin(kProperties), std::end(kProperties), name) == std::end(kProperties))
      continue;
    out += name;
    out += ':';
    out += value;
    out += ';';
  }
  return CssLengthsToPx(out);
}

std::string SanitizeHtml(std::string_view utf8, const TImageResolver& resolveImage, const TStopFlag* stop) {
  std::string out;
  out.reserve(utf8.size());
  THtmlTokenizer tokenizer(utf8);
  std::string dropUntil;  // the element whose content is being dropped
  std::size_t dropDepth = 0;
  // Open tables, innermost last; true for those written as blocks (beyond kMaxTableDepth).
  std::vector<bool> tables;
  const auto flattening = [&] { return !tables.empty() && tables.back(); };
  // Elements that set a direction, innermost last. Once a body has said "rtl", every block
  // says its direction: the text engine would carry the last one over to the blocks after it.
  std::vector<std::pair<std::string, bool>> directions;  // element, right-to-left
  bool rightToLeftSeen = false;
  // A block holding only a <br> ("<div><br></div>", how mail editors write a blank line):
  // the text engine shows the block's line and the break's, two blank lines for one.
  std::size_t blockStartEnd = std::string::npos;  // where the latest block's start tag ended
  std::size_t loneBreakAt = std::string::npos;    // its <br>, when that is all it holds so far
  std::size_t loneBreakEnd = std::string::npos;   // out's size then: anything written since ends it
  THtmlToken t;
  unsigned steps = 0;
  while (tokenizer.Next(t)) {
    StopPoint(stop, steps);
    if (!dropUntil.empty()) {
      if (t.Kind == THtmlTokenKind::StartTag && t.Name == dropUntil && !t.SelfClosing) ++dropDepth;
      if (t.Kind == THtmlTokenKind::EndTag && t.Name == dropUntil && --dropDepth == 0) dropUntil.clear();
      continue;
    }
    switch (t.Kind) {
      case THtmlTokenKind::Text: {
        const bool onlySpace = std::all_of(t.Text.begin(), t.Text.end(),
                                           [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
        const bool keepsLoneBreak = onlySpace && loneBreakEnd == out.size();
        out += t.Text;  // the tokenizer guarantees it holds no '<'
        if (keepsLoneBreak) loneBreakEnd = out.size();
        break;
      }
      case THtmlTokenKind::RawText:
        // Content of <style>: kept only when nothing in it can load or run.
        // Mail writers wrap it in <!-- --> for old readers; the markers carry nothing.
        if (t.Name == "style") {
          std::string css(t.Text);
          for (std::string_view marker : {std::string_view("<!--"), std::string_view("-->")})
            for (auto at = css.find(marker); at != std::string::npos; at = css.find(marker))
              css.erase(at, marker.size());
          if (const std::string safe = SafeStyleSheet(css); !safe.empty())
            out += "<style>" + CssLengthsToPx(safe) + "</style>";
        }
        break;
      case THtmlTokenKind::Comment:
        break;
      case THtmlTokenKind::EndTag: {
        // </style> too: a style element is written whole with its content, or not at all.
        if (!AllowedElement(t.Name) || VoidElement(t.Name) || t.Name == "style") break;
        if (!directions.empty() && directions.back().first == t.Name) directions.pop_back();
        const bool flat = flattening();
        if (t.Name == "table") {
          if (tables.empty()) break;  // closes nothing: the engine would close what is open
          tables.pop_back();
        }
        if (loneBreakEnd == out.size() && BlockElement(t.Name)) out.replace(loneBreakAt, std::string::npos, "&nbsp;");
        loneBreakEnd = std::string::npos;
        if (!flat) out += "</" + t.Name + ">";
        else if (EndsLineWhenFlat(t.Name) && !out.ends_with("<br>")) out += "<br>";
        break;
      }
      case THtmlTokenKind::StartTag: {
        if (DroppedWithContent(t.Name)) {
          if (!t.SelfClosing) { dropUntil = t.Name; dropDepth = 1; }
          break;
        }
        if (t.Name == "body") {
          // The page colour; the text engine paints the whole view with a body's bgcolor.
          for (const auto& [name, value] : t.Attributes)
            if (name == "bgcolor" && PlainColour(value)) out += "<body bgcolor=\"" + value + "\">";
          break;
        }
        if (!AllowedElement(t.Name)) break;  // html, head, meta, o:p...: content stays
        if (t.Name == "style") break;  // written with its content, which comes as raw text
        if (t.Name == "table") tables.push_back(flattening() || tables.size() >= kMaxTableDepth);
        if (flattening() && (TablePart(t.Name) || t.Name == "table")) break;
        std::string tag = "<" + t.Name;
        if (t.Name == "img") {
          std::string src, alt;
          bool tiny = false;  // spacer and tracking pictures: nothing a reader would miss
          for (const auto& [name, value] : t.Attributes) {
            if (name == "src") src = value;
            if (name == "alt") alt = value;
            if ((name == "width" || name == "height") && !value.empty() && value.size() <= 2 &&
                std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
                std::stoi(value) <= 2)
              tiny = true;
          }
          if (Lower(src).find("spacer") != std::string::npos && alt.empty()) tiny = true;
          const std::string local = resolveImage ? resolveImage(src) : std::string();
          if (local.empty()) {
            // No local copy: never fetched; a remote address is offered as a link instead.
            const std::string target = SafeLinkTarget(src);
            if (!target.empty() && target.front() != '#' && !tiny)
              out += "<a href=\"" + HtmlEscape(target) + "\">[" +
                     HtmlEscape(alt.empty() ? std::string("image") : alt) + "]</a>";
            break;
          }
          tag += Attr("src", local);
        }
        std::string dir;
        for (const auto& [name, value] : t.Attributes)
          if (name == "dir") dir = Lower(value);
        std::string style;  // written last, so that it wins over what the attributes say
        for (const auto& [name, value] : t.Attributes) {
          if (name == "style") {
            style += dir == "rtl" ? MirrorTextAlign(SanitizeStyle(value)) : SanitizeStyle(value);
          } else if (name == "dir") {
            if (dir == "rtl" || dir == "ltr") tag += Attr("dir", dir);
          } else if (name == "size" && t.Name == "font") {
            if (const int px = FontSizePx(value); px > 0) style.insert(0, "font-size:" + std::to_string(px) + "px;");
          } else if (name == "href" && t.Name == "a") {
            const std::string target = SafeLinkTarget(value);
            if (!target.empty()) tag += Attr("href", target);
          } else if (AllowedAttribute(name) && !DangerousCss(value)) {
            tag += Attr(name, value);
          }
        }
        if (!style.empty()) tag += Attr("style", style);
        if (dir == "rtl" || dir == "ltr") {
          rightToLeftSeen = rightToLeftSeen || dir == "rtl";
          if (!VoidElement(t.Name) && directions.size() < kMaxTableDepth * 32) directions.emplace_back(t.Name, dir == "rtl");
        } else if (rightToLeftSeen && BlockElement(t.Name)) {
          tag += Attr("dir", !directions.empty() && directions.back().second ? "rtl" : "ltr");
        }
        tag += ">";
        const bool loneBreak = t.Name == "br" && blockStartEnd == out.size();
        loneBreakAt = out.size();
        out += tag;
        loneBreakEnd = loneBreak ? out.size() : std::string::npos;
        blockStartEnd = BlockElement(t.Name) ? out.size() : std::string::npos;
        break;
      }
    }
  }
  return out;
}
