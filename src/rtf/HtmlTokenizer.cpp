#include "HtmlTokenizer.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "CodePage.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool RawTextElement(std::string_view n) {
  return n == "style" || n == "script" || n == "title" || n == "textarea" || n == "xmp";
}

std::size_t FindNoCase(std::string_view hay, std::string_view needle, std::size_t from) {
  if (needle.empty() || hay.size() < needle.size()) return std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() &&
           std::tolower(static_cast<unsigned char>(hay[i + k])) == needle[k])
      ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

struct TEntity {
  std::string_view Name;  // without its ';'
  bool Legacy;            // may also be written without ';'
  std::uint32_t First;
  std::uint32_t Second;   // 0: a single code point
};

// Every named character reference HTML defines, sorted by name.
constexpr TEntity kEntities[] = {
#include "HtmlEntities.inc"
};

const TEntity* FindEntity(std::string_view name) {
  const auto it = std::lower_bound(std::begin(kEntities), std::end(kEntities), name,
                                   [](const TEntity& e, std::string_view n) { return e.Name < n; });
  return it != std::end(kEntities) && it->Name == name ? it : nullptr;
}

// The longest name HTML defines is 31 characters.
constexpr std::size_t kMaxEntityName = 32;

// A named reference at text[i] == '&', read as a browser reads it: the whole name when a ';'
// ends it, otherwise the longest legacy name it starts with ("&copy2024" is "(c)2024").
// Returns the entity and sets end to the first character after it; nullptr when none.
const TEntity* ReadNamedReference(std::string_view text, std::size_t i, std::size_t& end) {
  std::size_t j = i + 1;
  while (j < text.size() && j - i - 1 < kMaxEntityName && std::isalnum(static_cast<unsigned char>(text[j]))) ++j;
  const std::string_view run = text.substr(i + 1, j - i - 1);
  if (j < text.size() && text[j] == ';') {
    if (const TEntity* e = FindEntity(run)) { end = j + 1; return e; }
  }
  // Legacy names are at most 6 characters.
  for (std::size_t n = std::min<std::size_t>(run.size(), 6); n >= 2; --n) {
    const TEntity* e = FindEntity(run.substr(0, n));
    if (e != nullptr && e->Legacy) { end = i + 1 + n; return e; }
  }
  return nullptr;
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '&') { out += c; ++i; continue; }
    std::size_t j = i + 1;
    std::uint32_t cp = 0;
    bool ok = false;
    if (j < text.size() && text[j] == '#') {
      ++j;
      const bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
      if (hex) ++j;
      const std::size_t digits = j;
      while (j < text.size() && j - digits < 8 &&
             (hex ? std::isxdigit(static_cast<unsigned char>(text[j]))
                  : std::isdigit(static_cast<unsigned char>(text[j])))) {
        const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(text[j])));
        cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d <= '9' ? d - '0' : d - 'a' + 10);
        ++j;
      }
      ok = j > digits;
      if (ok && (cp == 0 || cp > 0x10FFFF)) cp = 0xFFFD;
      if (ok && cp >= 0x80 && cp < 0xA0) {
        // Numeric references in 0x80-0x9F mean the Windows-1252 characters, as browsers read them.
        const std::string w = CodePageToUtf8(std::string(1, static_cast<char>(cp)), 1252);
        out += w;
        if (j < text.size() && text[j] == ';') ++j;
        i = j;
        continue;
      }
    } else {
      std::size_t end = 0;
      if (const TEntity* e = ReadNamedReference(text, i, end)) {
        AppendUtf8(out, e->First);
        if (e->Second != 0) AppendUtf8(out, e->Second);
        i = end;
        continue;
      }
    }
    if (!ok) { out += c; ++i; continue; }
    if (j < text.size() && text[j] == ';') ++j;
    AppendUtf8(out, cp);
    i = j;
  }
  return out;
}

bool THtmlTokenizer::Next(THtmlToken& token) {
  token = THtmlToken{};
  if (FRawEndPending) {
    FRawEndPending = false;
    token.Kind = THtmlTokenKind::EndTag;
    token.Name = std::move(FRawElement);
    FRawElement.clear();
    return true;
  }
  if (!FRawElement.empty()) {
    const std::string close = "</" + FRawElement;
    std::size_t end = FindNoCase(FHtml, close, FPos);
    if (end == std::string_view::npos) end = FHtml.size();
    token.Kind = THtmlTokenKind::RawText;
    token.Name = FRawElement;
    token.Text = FHtml.substr(FPos, end - FPos);
    const std::size_t gt = FHtml.find('>', end);
    FPos = gt == std::string_view::npos ? FHtml.size() : gt + 1;
    FRawEndPending = true;
    return true;
  }
  while (FPos < FHtml.size()) {
    if (FHtml[FPos] != '<') {
      const std::size_t lt = FHtml.find('<', FPos);
      const std::size_t end = lt == std::string_view::npos ? FHtml.size() : lt;
      token.Kind = THtmlTokenKind::Text;
      token.Text = FHtml.substr(FPos, end - FPos);
      FPos = end;
      return true;
    }
    if (ReadTag(token)) return true;
  }
  return false;
}

bool THtmlTokenizer::ReadTag(THtmlToken& token) {
  const std::string_view rest = FHtml.substr(FPos);
  if (rest.substr(0, 4) == "<!--") {
    const std::size_t end = FHtml.find("-->", FPos + 4);
    FPos = end == std::string_view::npos ? FHtml.size() : end + 3;
    token.Kind = THtmlTokenKind::Comment;
    return true;
  }
  if (rest.size() >= 2 && (rest[1] == '!' || rest[1] == '?')) {
    const std::size_t end = FHtml.find('>', FPos);
    FPos = end == std::string_view::npos ? FHtml.size() : end + 1;
    token.Kind = THtmlTokenKind::Comment;
    return true;
  }
  const bool endTag = rest.size() >= 2 && rest[1] == '/';
  const std::size_t nameStart = FPos + (endTag ? 2 : 1);
  if (nameStart >= FHtml.size() || !IsAlpha(FHtml[nameStart])) {
    // A '<' that opens no tag is text.
    token.Kind = THtmlTokenKind::Text;
    token.Text = "&lt;";
    ++FPos;
    return true;
  }
  std::size_t i = nameStart;
  while (i < FHtml.size() && !IsSpace(FHtml[i]) && FHtml[i] != '>' && FHtml[i] != '/') ++i;
  token.Name.assign(FHtml.substr(nameStart, std::min<std::size_t>(i - nameStart, 64)));
  for (char& c : token.Name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (endTag) {
    const std::size_t end = FHtml.find('>', i);
    FPos = end == std::string_view::npos ? FHtml.size() : end + 1;
    token.Kind = THtmlTokenKind::EndTag;
    return true;
  }
  token.Kind = THtmlTokenKind::StartTag;
  while (i < FHtml.size()) {
    while (i < FHtml.size() && (IsSpace(FHtml[i]) || FHtml[i] == '/')) {
      if (FHtml[i] == '/') token.SelfClosing = true;
      ++i;
    }
    if (i >= FHtml.size()) break;
    if (FHtml[i] == '>') { ++i; break; }
    token.SelfClosing = false;
    const std::size_t an = i;
    while (i < FHtml.size() && !IsSpace(FHtml[i]) && FHtml[i] != '=' && FHtml[i] != '>' &&
           FHtml[i] != '/')
      ++i;
    if (i == an) { ++i; continue; }  // a stray character: skip it so the loop advances
    std::string name(FHtml.substr(an, i - an));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (i < FHtml.size() && IsSpace(FHtml[i])) ++i;
    std::string value;
    if (i < FHtml.size() && FHtml[i] == '=') {
      ++i;
      while (i < FHtml.size() && IsSpace(FHtml[i])) ++i;
      if (i < FHtml.size() && (FHtml[i] == '"' || FHtml[i] == '\'')) {
        const char q = FHtml[i++];
        std::size_t end = FHtml.find(q, i);
        if (end == std::string_view::npos) end = FHtml.size();
        value = DecodeEntities(FHtml.substr(i, end - i));
        i = std::min(end + 1, FHtml.size());
      } else {
        const std::size_t vs = i;
        while (i < FHtml.size() && !IsSpace(FHtml[i]) && FHtml[i] != '>') ++i;
        value = DecodeEntities(FHtml.substr(vs, i - vs));
      }
    }
    token.Attributes.emplace_back(std::move(name), std::move(value));
  }
  FPos = i;
  if (RawTextElement(token.Name) && !token.SelfClosing) FRawElement = token.Name;
  return true;
}
