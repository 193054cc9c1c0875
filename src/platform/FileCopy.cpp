#include "FileCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "Exception.h"
#include "TNEFReaderConst.h"

namespace {

constexpr std::size_t kCopyBlock = 1024 * 1024;

[[noreturn]] void Fail(TStringId id, const std::string& path, int err) {
  throw EFileError(FormatRes(id, {Arg(path), Arg(std::strerror(err))}));
}

// Splits a target path into its folder ("." when it names none) and its last part.
std::pair<std::string, std::string> SplitTarget(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A short random suffix for a temporary name; not a secret, only unlikely to be taken.
std::string RandomSuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string s(10, 'x');
  for (char& c : s) c = kLetters[generator() % (sizeof kLetters - 1)];
  return s;
}

// The file being written. Every name is opened relative to the folder's descriptor and
// never through a link: a new file is made with O_EXCL | O_NOFOLLOW, so whatever already
// stands at a name (a file, a link planted by someone else) is never written through. A
// replacement is written under a temporary name in the same folder and renamed over the
// old name only once it is complete, so a failed write leaves the old file as it was, and a
// link standing at the name is replaced itself rather than followed. A name nothing stands
// at needs no replacement: it is made as a new file (and removed again should the write
// fail), which spares a rename per file when many are saved.
class TTargetFile {
public:
  // Opens the target; Fd() is -1 when Exclusive mode finds the name already taken.
  TTargetFile(const std::string& path, TCreateMode mode) : FPath(path) {
    auto [folder, name] = SplitTarget(path);
    FName = std::move(name);
    if (FName.empty() || FName == "." || FName == "..") Fail(TStringId::FileCreateError, path, EISDIR);
    FDirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FDirFd < 0) Fail(TStringId::FileCreateError, path, errno);
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    FFd = ::openat(FDirFd, FName.c_str(), kFlags, 0666);
    if (FFd < 0 && errno != EEXIST) Fail(TStringId::FileCreateError, path, errno);
    FWriteName = FName;
    if (FFd >= 0 || mode == TCreateMode::Exclusive) {
      FRename = false;
      return;
    }
    for (int attempt = 0; attempt < 100 && FFd < 0; ++attempt) {
      FWriteName = ".velquin-" + RandomSuffix() + ".part";
      FFd = ::openat(FDirFd, FWriteName.c_str(), kFlags, 0666);
      if (FFd < 0 && errno != EEXIST) Fail(TStringId::FileCreateError, path, errno);
    }
    if (FFd < 0) Fail(TStringId::FileCreateError, path, EEXIST);
  }
  ~TTargetFile() {
    if (FFd >= 0) {
      ::close(FFd);
      ::unlinkat(FDirFd, FWriteName.c_str(), 0);
    }
    if (FDirFd >= 0) ::close(FDirFd);
  }
  TTargetFile(const TTargetFile&) = delete;
  TTargetFile& operator=(const TTargetFile&) = delete;

  int Fd() const { return FFd; }
  void Finish() {
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0) {
      const int err = errno;
      ::unlinkat(FDirFd, FWriteName.c_str(), 0);
      Fail(TStringId::FileWriteError, FPath, err);
    }
    if (FRename && ::renameat(FDirFd, FWriteName.c_str(), FDirFd, FName.c_str()) != 0) {
      const int err = errno;
      ::unlinkat(FDirFd, FWriteName.c_str(), 0);
      Fail(TStringId::FileCreateError, FPath, err);
    }
  }

private:
  std::string FPath;
  bool FRename = true;  // written under a temporary name, to be renamed over FName
  std::string FName;
  std::string FWriteName;
  int FDirFd = -1;
  int FFd = -1;
};

void WriteAll(TTargetFile& target, const std::string& path, const std::uint8_t* data,
              std::size_t size) {
  if (!WriteAllToFd(target.Fd(), data, size)) Fail(TStringId::FileWriteError, path, errno);
}

}  // namespace

bool CopyFileRangeTo(TNativeFile sourceFd, const std::string& sourcePath, std::int64_t offset,
                     std::uint64_t size, const std::string& targetPath, TCreateMode mode) {
  TTargetFile target(targetPath, mode);
  if (target.Fd() < 0) return false;

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
  TTargetFile target(targetPath, mode);
  if (target.Fd() < 0) return false;
  WriteAll(target, targetPath, static_cast<const std::uint8_t*>(data), size);
  target.Finish();
  return true;
}

bool WriteAllToFd(TNativeFile fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}
