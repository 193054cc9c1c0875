#include "RtfTables.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "CodePage.h"

namespace {

// A font name is repeated in the style of every run set in it; a clipped name keeps a hostile
// table from multiplying its size by the number of runs.
constexpr std::size_t kMaxFontName = 64;
// Font numbers and colour entries beyond these are not from any real writer; the bound keeps
// the tables small whatever the input says.
constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxColors = 4096;

bool StartsWithNoCase(const std::string& s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

unsigned CharsetToCodePage(int charset) {
  switch (charset) {
    case 0: return 0;        // ANSI: the document's \ansicpg
    case 1: return 0;        // default
    case 2: return 0;        // symbol: handled by TSymbolFont
    case 77: return 10000;   // Mac Roman
    case 128: return 932;    // Shift-JIS
    case 129: return 949;    // Hangul
    case 130: return 1361;   // Johab
    case 134: return 936;    // GB2312
    case 136: return 950;    // Big5
    case 161: return 1253;   // Greek
    case 162: return 1254;   // Turkish
    case 163: return 1258;   // Vietnamese
    case 177: return 1255;   // Hebrew
    case 178: return 1256;   // Arabic
    case 186: return 1257;   // Baltic
    case 204: return 1251;   // Cyrillic
    case 222: return 874;    // Thai
    case 238: return 1250;   // Eastern European
    case 254: return 437;    // PC 437
    case 255: return 850;    // OEM
    default: return 0;
  }
}

void TRtfFontTable::Begin(int number) {
  FCurrent = number;
  FCharset = -1;
  FCodePage = 0;
  FNameBytes.clear();
}

void TRtfFontTable::SetCharset(int charset) { FCharset = charset; }

void TRtfFontTable::SetCodePage(int codePage) {
  FCodePage = codePage > 0 ? static_cast<unsigned>(codePage) : 0;
}

void TRtfFontTable::AddNameBytes(std::string_view bytes) {
  if (FCurrent < 0) return;
  const std::size_t room = FNameBytes.size() < 4 * kMaxFontName ? 4 * kMaxFontName - FNameBytes.size() : 0;
  FNameBytes.append(bytes.substr(0, room));
}

void TRtfFontTable::Commit(unsigned fallbackCodePage) {
  if (FCurrent < 0) return;
  if (FFonts.size() >= kMaxFonts && !FFonts.count(FCurrent)) { FCurrent = -1; return; }
  TRtfFont font;
  font.CodePage = FCodePage ? FCodePage : CharsetToCodePage(FCharset);
  std::string name = CodePageToUtf8(FNameBytes, font.CodePage ? font.CodePage : fallbackCodePage);
  // Names are quoted into CSS: keep only characters that cannot end the quotation.
  std::string clean;
  for (char c : name)
    if (c != '"' && c != '\'' && c != '\\' && c != ';' && c != '<' && c != '>' && c != '&' &&
        static_cast<unsigned char>(c) >= 0x20)
      clean += c;
  while (!clean.empty() && clean.back() == ' ') clean.pop_back();
  if (clean.size() > kMaxFontName) {
    clean.resize(kMaxFontName);
    while (!clean.empty() && (static_cast<unsigned char>(clean.back()) & 0xC0) == 0x80) clean.pop_back();
    if (!clean.empty() && static_cast<unsigned char>(clean.back()) >= 0xC0) clean.pop_back();
  }
  font.Name = clean;
  if (FCharset == 2 || StartsWithNoCase(clean, "symbol")) font.Symbol = TSymbolFont::Symbol;
  if (StartsWithNoCase(clean, "wingdings") || StartsWithNoCase(clean, "webdings"))
    font.Symbol = TSymbolFont::Wingdings;
  FFonts[FCurrent] = std::move(font);
  FCurrent = -1;
  FNameBytes.clear();
}

const TRtfFont* TRtfFontTable::Find(int number) const {
  const auto it = FFonts.find(number);
  return it == FFonts.end() ? nullptr : &it->second;
}

void TRtfColorTable::Commit() {
  if (FColors.size() < kMaxColors) FColors.push_back(FCurrent);
  FCurrent = TRtfColor{};
}

std::string TRtfColorTable::Css(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= FColors.size()) return {};
  const TRtfColor& c = FColors[static_cast<std::size_t>(index)];
  if (c.Auto) return {};
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.Red, c.Green, c.Blue);
  return buf;
}
