#include "FileFormat.h"

#include <cstring>

namespace {

constexpr unsigned char kTnefSignatureBytes[] = {0x78, 0x9F, 0x3E, 0x22};  // TNEF_SIGNATURE, little-endian

// A header field name: printable ASCII without space or colon (RFC 5322 ftext), then ':'.
// Saved mails may start with a few blank or folded lines from the program that wrote them,
// which are not accepted: the first line must be a field.
bool StartsWithHeaderField(std::string_view head) {
  std::size_t i = 0;
  while (i < head.size() && i < 998) {  // a line is at most 998 characters
    const unsigned char c = static_cast<unsigned char>(head[i]);
    if (c == ':') return i > 0;
    if (c < 33 || c > 126) return false;
    ++i;
  }
  return false;
}

}  // namespace

TFileFormat DetectFileFormat(std::string_view head) {
  if (head.size() >= 4 && std::memcmp(head.data(), kTnefSignatureBytes, 4) == 0) return TFileFormat::Tnef;
  if (head.substr(0, 5) == "From ") return TFileFormat::Mbox;
  if (StartsWithHeaderField(head)) return TFileFormat::Mail;
  return TFileFormat::Other;
}
