#include "HtmlText.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "HtmlTokenizer.h"

namespace {

bool In(std::string_view name, std::initializer_list<std::string_view> set) {
  return std::find(set.begin(), set.end(), name) != set.end();
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Lists deeper than this are indented no further: the indent stays bounded by the input.
constexpr std::size_t kMaxListIndent = 8;

// A <meta> tag is at the start of real documents; looking further would only cost time.
constexpr std::size_t kMetaSearchBytes = 8192;

}  // namespace

std::string HtmlToText(std::string_view utf8) {
  std::string out;
  THtmlTokenizer tokenizer(utf8);
  THtmlToken t;
  int pre = 0;
  std::string skipUntil;
  bool space = false;  // a collapsed space is due before the next word
  // The open lists, innermost last: 0 for <ul>, else the next number of an <ol>.
  std::vector<int> lists;
  std::size_t labelEnd = std::string::npos;  // where the last list label ends in out
  const auto spaceDue = [&] { return space && out.size() != labelEnd; };
  const auto newline = [&] {
    while (!out.empty() && out.back() == ' ') out.pop_back();
    out += '\n';
    space = false;
  };
  const auto lineStart = [&] { return out.empty() || out.back() == '\n'; };
  while (tokenizer.Next(t)) {
    if (!skipUntil.empty()) {
      if (t.Kind == THtmlTokenKind::EndTag && t.Name == skipUntil) skipUntil.clear();
      continue;
    }
    switch (t.Kind) {
      case THtmlTokenKind::Text: {
        const std::string text = DecodeEntities(t.Text);
        if (pre) { out += text; break; }
        for (char c : text) {
          if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
            space = true;
            continue;
          }
          if (spaceDue() && !lineStart()) out += ' ';
          space = false;
          out += c;
        }
        break;
      }
      case THtmlTokenKind::StartTag:
        // Only raw-text elements: the tokenizer always ends them, so an unclosed one cannot
        // hide the rest of the document.
        if (In(t.Name, {"script", "style", "title", "textarea", "xmp"}) && !t.SelfClosing) {
          skipUntil = t.Name;
          break;
        }
        if (t.Name == "br") { newline(); break; }
        if (t.Name == "pre") ++pre;
        if (t.Name == "img") {
          // Text readers (and the RTF side of an encapsulated body) show a picture as its alt
          // text; a picture the mail carries (cid:) is one of its attachments, whose alt text
          // is the mail program's own label ("image001.png"), not words of the sender.
          bool carried = false;
          for (const auto& [name, value] : t.Attributes)
            if (name == "src" && Lower(value.substr(0, 4)) == "cid:") carried = true;
          for (const auto& [name, value] : t.Attributes)
            if (!carried && name == "alt" && !value.empty()) {
              if (spaceDue() && !lineStart()) out += ' ';
              out += value;
              space = false;
            }
          break;
        }
        if (t.Name == "td" || t.Name == "th") {
          if (!lineStart()) out += '\t';
          space = false;
          break;
        }
        if (In(t.Name, {"p", "div", "tr", "li", "h1", "h2", "h3", "h4", "h5", "h6", "table",
                        "blockquote", "pre", "hr", "dt", "dd", "ul", "ol", "address", "center"})) {
          if (!lineStart()) newline();
          space = false;
        }
        if (t.Name == "ul" || t.Name == "ol") {
          int start = 1;
          for (const auto& [name, value] : t.Attributes)
            if (name == "start" && !value.empty() && value.size() < 9 &&
                std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
              start = std::stoi(value);
          lists.push_back(t.Name == "ul" ? 0 : std::max(start, 1));
        }
        if (t.Name == "li") {
          // A reader's list: a bullet, or the item's number in an ordered list, indented by
          // the list's depth. An <li> outside any list is bulleted as a browser shows it.
          const std::size_t depth = std::min(std::max<std::size_t>(lists.size(), 1), kMaxListIndent);
          out.append(2 * (depth - 1), ' ');
          if (!lists.empty() && lists.back() > 0) out += std::to_string(lists.back()++) + ". ";
          else out += "\u2022 ";
          labelEnd = out.size();
          space = false;
        }
        break;
      case THtmlTokenKind::EndTag:
        if (t.Name == "pre" && pre > 0) --pre;
        if ((t.Name == "ul" || t.Name == "ol") && !lists.empty()) lists.pop_back();
        if (In(t.Name, {"p", "div", "tr", "li", "h1", "h2", "h3", "h4", "h5", "h6", "table",
                        "blockquote", "pre", "dt", "dd", "address", "center"})) {
          if (!lineStart()) newline();
        }
        break;
      default:
        break;
    }
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
  if (!out.empty()) out += '\n';
  return out;
}

unsigned CharsetNameToCodePage(std::string_view name) {
  std::string n = Lower(name);
  while (!n.empty() && (n.back() == ' ' || n.back() == '"' || n.back() == '\'' || n.back() == ';'))
    n.pop_back();
  while (!n.empty() && (n.front() == ' ' || n.front() == '"' || n.front() == '\'')) n.erase(0, 1);
  if (n == "utf-8" || n == "utf8") return 65001;
  if (n == "us-ascii" || n == "ascii") return 20127;
  if (n == "koi8-r") return 20866;
  if (n == "koi8-u") return 21866;
  if (n == "shift_jis" || n == "shift-jis" || n == "sjis" || n == "x-sjis" || n == "windows-31j") return 932;
  if (n == "euc-jp") return 51932;
  if (n == "iso-2022-jp") return 50220;
  if (n == "gb2312" || n == "gbk" || n == "x-gbk" || n == "cp936") return 936;
  if (n == "gb18030") return 54936;
  if (n == "big5" || n == "big5-hkscs") return 950;
  if (n == "euc-kr" || n == "ks_c_5601-1987" || n == "ks_c_5601") return 949;
  if (n == "tis-620") return 874;
  if (n == "ibm866" || n == "cp866") return 866;
  if (n == "iso-8859-8-i") return 28598;
  if (n == "utf-16" || n == "utf-16le") return 1200;
  auto number = [](std::string_view digits) -> unsigned {
    unsigned v = 0;
    if (digits.empty() || digits.size() > 5) return 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return 0;
      v = v * 10 + static_cast<unsigned>(c - '0');
    }
    return v;
  };
  if (n.rfind("windows-", 0) == 0) return number(std::string_view(n).substr(8));
  if (n.rfind("iso-8859-", 0) == 0) {
    const unsigned part = number(std::string_view(n).substr(9));
    return part >= 1 && part <= 16 ? 28590 + part : 0;
  }
  if (n.rfind("cp", 0) == 0) return number(std::string_view(n).substr(2));
  return 0;
}

unsigned HtmlDeclaredCodePage(std::string_view html) {
  THtmlTokenizer tokenizer(html.substr(0, kMetaSearchBytes));
  THtmlToken t;
  while (tokenizer.Next(t)) {
    if (t.Kind != THtmlTokenKind::StartTag || t.Name != "meta") continue;
    for (const auto& [name, value] : t.Attributes) {
      if (name == "charset") return CharsetNameToCodePage(value);
      if (name == "content") {
        const std::string v = Lower(value);
        const auto at = v.find("charset=");
        if (at != std::string::npos) {
          std::string_view cs = std::string_view(v).substr(at + 8);
          const auto end = cs.find_first_of("; \"'");
          return CharsetNameToCodePage(cs.substr(0, end));
        }
      }
    }
  }
  return 0;
}
