#include "TerminalText.h"

#include <cstdint>
#include <cstdio>

namespace {

bool IsBidiControl(std::uint32_t cp) {
  return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
         (cp >= 0x2066 && cp <= 0x2069);
}

void AppendHex(std::string& out, const char* format, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  out += text;
}

// The length of the well-formed UTF-8 sequence at text[i] and its code point; 0 when the
// bytes there are not one (a stray continuation byte, an overlong form, a cut sequence).
std::size_t DecodeSequence(std::string_view text, std::size_t i, std::uint32_t& cp) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = byte(i);
  std::size_t length = 0;
  std::uint32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) { length = 2; cp = lead & 0x1F; min = 0x80; }
  else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; cp = lead & 0x0F; min = 0x800; }
  else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; cp = lead & 0x07; min = 0x10000; }
  else return 0;
  if (text.size() - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string TextForTerminal(std::string_view utf8, TLineBreaks breaks) {
  std::string out;
  out.reserve(utf8.size());
  const bool keep = breaks == TLineBreaks::Keep;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<std::uint8_t>(utf8[i]);
    if (c < 0x80) {
      const bool crlf = c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n';
      if (c == '\t') out += keep ? "\t" : "\\t";
      else if (c == '\n') out += keep ? "\n" : "\\n";
      else if (c == '\r') out += keep && crlf ? "\r" : "\\r";
      else if (c < 0x20 || c == 0x7F) AppendHex(out, "\\x%02x", c);
      else out += static_cast<char>(c);
      ++i;
      continue;
    }
    std::uint32_t cp = 0;
    const std::size_t length = DecodeSequence(utf8, i, cp);
    if (length == 0) {
      AppendHex(out, "\\x%02x", c);
      ++i;
    } else if (cp <= 0x9F || IsBidiControl(cp)) {  // C1 controls and bidi controls
      AppendHex(out, "\\u%04x", cp);
      i += length;
    } else {
      out.append(utf8.substr(i, length));
      i += length;
    }
  }
  return out;
}
