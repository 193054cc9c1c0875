// Text for the terminal, from any bytes: what comes out holds no control character (tab and
// newline only where running text keeps them) and no bidi control, and stays in proportion
// to the input.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "TerminalText.h"

namespace {

bool Clean(std::string_view text, bool keepBreaks) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<std::uint8_t>(text[i]);
    if (c == '\t' || c == '\n') {
      if (!keepBreaks) return false;
    } else if (c == '\r') {
      if (!keepBreaks || i + 1 >= text.size() || text[i + 1] != '\n') return false;
    } else if (c < 0x20 || c == 0x7F) {
      return false;
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<std::uint8_t>(text[i + 1]) < 0xA0) {
      return false;  // U+0080..U+009F
    } else if (c == 0xE2 && i + 2 < text.size() && static_cast<std::uint8_t>(text[i + 1]) == 0x80 &&
               (static_cast<std::uint8_t>(text[i + 2]) & 0xF8) == 0xA8 && static_cast<std::uint8_t>(text[i + 2]) != 0xA8 &&
               static_cast<std::uint8_t>(text[i + 2]) != 0xA9 && static_cast<std::uint8_t>(text[i + 2]) != 0xAF) {
      return false;  // U+202A..U+202E
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  for (const TLineBreaks breaks : {TLineBreaks::Keep, TLineBreaks::Escape}) {
    const std::string out = TextForTerminal(in, breaks);
    if (out.size() > 6 * size || !Clean(out, breaks == TLineBreaks::Keep)) __builtin_trap();
  }
  return 0;
}
