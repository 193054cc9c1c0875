#pragma once
// The font and colour tables of an RTF document.

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Code page of a font charset (\fcharset); 0 when the charset means "the document's".
unsigned CharsetToCodePage(int charset);

// Symbol fonts map their bytes to pictures, not to the letters of a code page.
enum class TSymbolFont : std::uint8_t { None, Symbol, Wingdings };

struct TRtfFont {
  std::string Name;         // UTF-8, clipped to a sane length
  unsigned CodePage = 0;    // 0: the document's
  TSymbolFont Symbol = TSymbolFont::None;
};

class TRtfFontTable {
public:
  // Font entries are parsed piecewise: Begin with \fN, then charset, code page and name bytes.
  void Begin(int number);
  void SetCharset(int charset);
  void SetCodePage(int codePage);
  void AddNameBytes(std::string_view bytes);
  // Ends the entry at ';', decoding its name with the entry's code page or fallback.
  void Commit(unsigned fallbackCodePage);

  const TRtfFont* Find(int number) const;
  std::size_t Size() const { return FFonts.size(); }

private:
  std::unordered_map<int, TRtfFont> FFonts;
  int FCurrent = -1;
  int FCharset = -1;
  unsigned FCodePage = 0;
  std::string FNameBytes;
};

struct TRtfColor {
  std::uint8_t Red = 0, Green = 0, Blue = 0;
  bool Auto = true;
};

class TRtfColorTable {
public:
  void SetRed(int v) { FCurrent.Red = Clip(v); FCurrent.Auto = false; }
  void SetGreen(int v) { FCurrent.Green = Clip(v); FCurrent.Auto = false; }
  void SetBlue(int v) { FCurrent.Blue = Clip(v); FCurrent.Auto = false; }
  void Commit();
  // "#rrggbb", or empty for automatic colours and indexes outside the table.
  std::string Css(int index) const;

private:
  static std::uint8_t Clip(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
  std::vector<TRtfColor> FColors;
  TRtfColor FCurrent;
};
