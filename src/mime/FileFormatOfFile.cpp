// The first bytes of a file on Linux; the Windows side is in win32/FileFormatOfFile.cpp.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Exception.h"
#include "FileFormat.h"
#include "TNEFReaderConst.h"

namespace {

constexpr std::size_t kHeadSize = 4096;

}  // namespace

int OpenFileForParsing(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    throw EFileError(FormatRes(TStringId::FileOpenError, {Arg(path), Arg(std::strerror(errno))}));
  return fd;
}

TFileFormat DetectFileFormatOfFile(const std::string& path) {
  const int fd = OpenFileForParsing(path);
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
