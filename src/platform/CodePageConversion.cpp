// Eight-bit text to UTF-8 through iconv.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "CodePage.h"

namespace {

// iconv's name for a Windows code page number; most are "CP" + number in glibc.
std::string IconvName(unsigned codePage) {
  switch (codePage) {
    case 0:
    case 1252: return "CP1252";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 50220:
    case 50221:
    case 50222: return "ISO-2022-JP";
    case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    case 52936: return "HZ";
    case 54936: return "GB18030";
    case 65000: return "UTF-7";
    case 65001: return "UTF-8";
    case 10000: return "MACINTOSH";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    default: break;
  }
  if (codePage >= 28591 && codePage <= 28606) return "ISO-8859-" + std::to_string(codePage - 28590);
  return "CP" + std::to_string(codePage);
}

constexpr const char kReplacement[] = "\xEF\xBF\xBD";

}  // namespace

std::string CodePageToUtf8(std::string_view bytes, unsigned codePage) {
  if (codePage == 1200) return Utf16LeToUtf8(bytes);
  bytes = UpToNul(bytes);
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<std::uint8_t>(c) < 0x80;
  if (ascii) return std::string(bytes);

  iconv_t cd = ::iconv_open("UTF-8", IconvName(codePage).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) cd = ::iconv_open("UTF-8", "CP1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);

  std::string out;
  out.reserve(bytes.size() * 2 + 8);
  char buffer[1024];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t rc = ::iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // An undecodable or cut-off sequence: one replacement character, then go on after it.
    out += kReplacement;
    ++in;
    --inLeft;
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  // Flush any state the converter still holds (stateful encodings such as ISO-2022-JP).
  char* dst = buffer;
  std::size_t dstLeft = sizeof buffer;
  ::iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<std::size_t>(dst - buffer));
  ::iconv_close(cd);
  return out;
}
