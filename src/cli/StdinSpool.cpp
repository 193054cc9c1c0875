#include "StdinSpool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "Exception.h"
#include "FileCopy.h"

namespace {

[[noreturn]] void Fail(int error) { throw EFileError(std::strerror(error)); }

}  // namespace

TStdinSpool::TStdinSpool(std::istream& in)
    : FPath(FFolder.Path() + "/stdin.tnef"), FRemoveOnEnd(FPath, FFolder.Path()) {
  const int fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) Fail(errno);
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > 0 && !WriteAllToFd(fd, buffer.data(), got)) {
      const int error = errno;
      ::close(fd);
      Fail(error);
    }
  }
  if (::close(fd) != 0) Fail(errno);
}
