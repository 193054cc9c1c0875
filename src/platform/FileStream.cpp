#include "FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "Exception.h"
#include "TNEFReaderConst.h"

TFileStream::TFileStream(const std::string& path) : FPath(path) {
  FFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (FFd < 0)
    throw EFileError(FormatRes(TStringId::FileOpenError, {Arg(path), Arg(std::strerror(errno))}));
  struct stat st {};
  if (::fstat(FFd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(FFd);
    throw EFileError(FormatRes(TStringId::FileOpenError, {Arg(path), Arg(std::strerror(err))}));
  }
  FSize = st.st_size;
}

TFileStream::~TFileStream() {
  if (FFd >= 0) ::close(FFd);
}

std::size_t TFileStream::ReadSomeAt(std::int64_t offset, void* buffer, std::size_t count) const {
  for (;;) {
    const ssize_t n = ::pread(FFd, buffer, count, static_cast<off_t>(offset));
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR)
      throw EFileError(FormatRes(TStringId::FileReadError, {Arg(FPath), Arg(std::strerror(errno))}));
  }
}
