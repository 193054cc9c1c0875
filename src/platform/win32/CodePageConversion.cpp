// Eight-bit text to UTF-8 through the system's own code-page tables.
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "CodePage.h"
#include "WideText.h"

namespace {

constexpr const char kReplacement[] = "\xEF\xBF\xBD";

bool IsIsoLatin(unsigned codePage) { return codePage >= 28591 && codePage <= 28606; }

// Code pages whose bytes carry state across characters (escape sequences, UTF-7) or whose
// characters are longer than the lead-byte table tells; they are converted as a whole.
bool ConvertWhole(unsigned codePage) {
  return codePage == 65001 || codePage == 65000 || codePage == 54936 ||
         (codePage >= 50220 && codePage <= 50229) || codePage == 52936;
}

void AppendWide(std::string& out, const wchar_t* text, int count) {
  out += Narrow(std::wstring_view(text, static_cast<std::size_t>(count)));
}

// One character's bytes; false when the code page does not define them.
bool DecodeOne(unsigned codePage, const char* bytes, int size, std::string& out) {
  wchar_t wide[4];
  const int n = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, size, wide, 4);
  if (n <= 0) return false;
  // The Windows tables fill the holes of a code page such as 1252's 0x81 with the C1
  // control of the same number; that is no character of the text.
  if (!IsIsoLatin(codePage) && n == 1 && wide[0] >= 0x80 && wide[0] <= 0x9F) return false;
  AppendWide(out, wide, n);
  return true;
}

std::string DecodeWhole(unsigned codePage, std::string_view bytes) {
  const int size = static_cast<int>(bytes.size());
  int n = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  DWORD flags = MB_ERR_INVALID_CHARS;
  // Broken input: the system's own replacement for what it cannot read.
  if (n <= 0) {
    flags = 0;
    n = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  }
  if (n <= 0) return std::string(bytes);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), n);
  return Narrow(wide);
}

}  // namespace

std::string CodePageToUtf8(std::string_view bytes, unsigned codePage) {
  if (codePage == 1200) return Utf16LeToUtf8(bytes);
  bytes = UpToNul(bytes);
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<std::uint8_t>(c) < 0x80;
  if (ascii) return std::string(bytes);

  if (codePage == 1201) {
    // Big-endian UTF-16, which the system tables lack: swap each pair and decode.
    std::string swapped(bytes);
    for (std::size_t k = 0; k + 1 < swapped.size(); k += 2) std::swap(swapped[k], swapped[k + 1]);
    return Utf16LeToUtf8(swapped);
  }
  if (codePage == 0 || !::IsValidCodePage(codePage)) codePage = kDefaultCodePage;
  if (ConvertWhole(codePage)) return DecodeWhole(codePage, bytes);

  // One character at a time (one byte, or a lead byte and its trail byte), so that a byte
  // the code page does not define becomes one U+FFFD and decoding goes on after it.
  std::string out;
  out.reserve(bytes.size() * 2 + 8);
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    const bool lead = ::IsDBCSLeadByteEx(codePage, b) && i + 1 < bytes.size();
    const int size = lead ? 2 : 1;
    if (DecodeOne(codePage, bytes.data() + i, size, out)) {
      i += static_cast<std::size_t>(size);
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}
