#include "MailScratch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Exception.h"
#include "TNEFReaderConst.h"

// A file in a private folder: the folder goes with the scratch, and the reader's open
// descriptor keeps the bytes until it closes.
TMailScratch::TMailScratch() {
  FPath = FFolder.Path() + "/mail";
  FFd = ::open(FPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (FFd < 0)
    throw EFileError(FormatRes(TStringId::FileCreateError, {Arg(FPath), Arg(std::strerror(errno))}));
}

TMailScratch::~TMailScratch() {
  if (FFd >= 0) ::close(FFd);
}

std::int64_t TMailScratch::Position() const { return static_cast<std::int64_t>(::lseek(FFd, 0, SEEK_CUR)); }

bool TMailScratch::CutAt(std::int64_t offset) const {
  return ::ftruncate(FFd, offset) == 0 && ::lseek(FFd, offset, SEEK_SET) == offset;
}
