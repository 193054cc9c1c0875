#include "HtmlSanitizer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

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
  return out;
}

std::string SanitizeHtml(std::string_view utf8, const TImageResolver& resolveImage) {
  std::string out;
  out.reserve(utf8.size());
  THtmlTokenizer tokenizer(utf8);
  std::string dropUntil;  // the element whose content is being dropped
  std::size_t dropDepth = 0;
  std::vector<std::string> openLinks;  // only to balance the <a> we rewrite images into
  THtmlToken t;
  while (tokenizer.Next(t)) {
    if (!dropUntil.empty()) {
      if (t.Kind == THtmlTokenKind::StartTag && t.Name == dropUntil && !t.SelfClosing) ++dropDepth;
      if (t.Kind == THtmlTokenKind::EndTag && t.Name == dropUntil && --dropDepth == 0) dropUntil.clear();
      continue;
    }
    switch (t.Kind) {
      case THtmlTokenKind::Text:
        out += t.Text;  // the tokenizer guarantees it holds no '<'
        break;
      case THtmlTokenKind::RawText:
        // Content of <style>: kept only when nothing in it can load or run.
        // Mail writers wrap it in <!-- --> for old readers; the markers carry nothing.
        if (t.Name == "style") {
          std::string css(t.Text);
          for (std::string_view marker : {std::string_view("<!--"), std::string_view("-->")})
            for (auto at = css.find(marker); at != std::string::npos; at = css.find(marker))
              css.erase(at, marker.size());
          if (!DangerousCss(css)) out += css;
        }
        break;
      case THtmlTokenKind::Comment:
        break;
      case THtmlTokenKind::EndTag:
        if (AllowedElement(t.Name) && !VoidElement(t.Name)) out += "</" + t.Name + ">";
        break;
      case THtmlTokenKind::StartTag: {
        if (DroppedWithContent(t.Name)) {
          if (!t.SelfClosing) { dropUntil = t.Name; dropDepth = 1; }
          break;
        }
        if (!AllowedElement(t.Name)) break;  // html, head, body, meta, o:p...: content stays
        if (t.Name == "style") { out += "<style>"; break; }
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
        for (const auto& [name, value] : t.Attributes) {
          if (name == "style") {
            const std::string css = SanitizeStyle(value);
            if (!css.empty()) tag += Attr("style", css);
          } else if (name == "href" && t.Name == "a") {
            const std::string target = SafeLinkTarget(value);
            if (!target.empty()) tag += Attr("href", target);
          } else if (AllowedAttribute(name) && !DangerousCss(value)) {
            tag += Attr(name, value);
          }
        }
        tag += ">";
        out += tag;
        break;
      }
    }
  }
  return out;
}
