#include "FileCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "Exception.h"
#include "TNEFReaderConst.h"

namespace {

constexpr std::size_t kCopyBlock = 1024 * 1024;

[[noreturn]] void Fail(TStringId id, const std::string& path, int err) {
  throw EFileError(FormatRes(id, {Arg(path), Arg(std::strerror(err))}));
}

// Opens the target; -1 when Exclusive mode finds it already there.
int CreateTarget(const std::string& path, TCreateMode mode) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
  flags |= mode == TCreateMode::Exclusive ? O_EXCL : O_TRUNC;
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) {
    if (mode == TCreateMode::Exclusive && errno == EEXIST) return -1;
    Fail(TStringId::FileCreateError, path, errno);
  }
  return fd;
}

// Closes the target and, on failure, removes the incomplete file before raising.
class TTargetFile {
public:
  TTargetFile(int fd, std::string path) : FFd(fd), FPath(std::move(path)) {}
  ~TTargetFile() {
    if (FFd >= 0) {
      ::close(FFd);
      ::unlink(FPath.c_str());
    }
  }
  int Fd() const { return FFd; }
  void Finish() {
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0) {
      const int err = errno;
      ::unlink(FPath.c_str());
      Fail(TStringId::FileWriteError, FPath, err);
    }
  }

private:
  int FFd;
  std::string FPath;
};

void WriteAll(TTargetFile& target, const std::string& path, const std::uint8_t* data,
              std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(target.Fd(), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(TStringId::FileWriteError, path, n < 0 ? errno : ENOSPC);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

}  // namespace

bool CopyFileRangeTo(int sourceFd, const std::string& sourcePath, std::int64_t offset,
                     std::uint64_t size, const std::string& targetPath, TCreateMode mode) {
  const int fd = CreateTarget(targetPath, mode);
  if (fd < 0) return false;
  TTargetFile target(fd, targetPath);

  loff_t in = offset;
  std::uint64_t left = size;
  // The kernel copies without passing the bytes through us; file systems or kernels that
  // cannot do it for this pair of files make us fall back to a plain read/write loop.
  bool kernelCopy = true;
  std::vector<std::uint8_t> buffer;
  while (left > 0) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, 1u << 30));
    if (kernelCopy) {
      const ssize_t n = ::copy_file_range(sourceFd, &in, target.Fd(), nullptr, chunk, 0);
      if (n > 0) {
        left -= static_cast<std::uint64_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                    errno == EBADF || errno == EPERM)) {
        kernelCopy = false;
        continue;
      }
      if (n == 0) throw EFileError(FormatRes(TStringId::FileEndedEarly, {Arg(sourcePath)}));
      Fail(TStringId::FileWriteError, targetPath, errno);
    }
    if (buffer.empty()) buffer.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, kCopyBlock)));
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
    const ssize_t n = ::pread(sourceFd, buffer.data(), want, in);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(TStringId::FileReadError, sourcePath, errno);
    if (n == 0) throw EFileError(FormatRes(TStringId::FileEndedEarly, {Arg(sourcePath)}));
    WriteAll(target, targetPath, buffer.data(), static_cast<std::size_t>(n));
    in += n;
    left -= static_cast<std::uint64_t>(n);
  }
  target.Finish();
  return true;
}

bool WriteFileBytes(const std::string& targetPath, const void* data, std::size_t size,
                    TCreateMode mode) {
  const int fd = CreateTarget(targetPath, mode);
  if (fd < 0) return false;
  TTargetFile target(fd, targetPath);
  WriteAll(target, targetPath, static_cast<const std::uint8_t*>(data), size);
  target.Finish();
  return true;
}
