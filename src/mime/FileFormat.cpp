#include "FileFormat.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Exception.h"
#include "TNEFReaderConst.h"

namespace {

constexpr unsigned char kTnefSignatureBytes[] = {0x78, 0x9F, 0x3E, 0x22};  // TNEF_SIGNATURE, little-endian
constexpr std::size_t kHeadSize = 4096;

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

TFileFormat DetectFileFormatOfFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    throw EFileError(FormatRes(TStringId::FileOpenError, {Arg(path), Arg(std::strerror(errno))}));
  char head[kHeadSize];
  std::size_t filled = 0;
  while (filled < sizeof head) {
    const ssize_t n = ::read(fd, head + filled, sizeof head - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    filled += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return DetectFileFormat(std::string_view(head, filled));
}
