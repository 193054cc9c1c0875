#include "StdinSpool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "Exception.h"

namespace {

[[noreturn]] void Fail(int error) { throw EFileError(std::strerror(error)); }

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

TStdinSpool::TStdinSpool(std::istream& in) {
  FPath = FFolder.Path() + "/stdin.tnef";
  const int fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) Fail(errno);
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > 0 && !WriteAll(fd, buffer.data(), got)) {
      const int error = errno;
      ::close(fd);
      Fail(error);
    }
  }
  if (::close(fd) != 0) Fail(errno);
}
