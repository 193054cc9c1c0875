// The mail's scratch file on Windows: a file of its own in the user's temporary folder,
// opened to be deleted when its last handle closes. A folder around it could not be removed
// while the reader still reads the file, and the system deletes such a file even when the
// process is killed, so nothing is left behind either way.
#include "MailScratch.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <random>

#include "Exception.h"
#include "TNEFReaderConst.h"
#include "WideText.h"

namespace {

// Names are drawn again when taken; a few tries are plenty for 64 random bits.
constexpr int kNameTries = 16;

std::string RandomPart() {
  std::random_device random;
  const unsigned long long bits = (static_cast<unsigned long long>(random()) << 32) ^ random();
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", bits);
  return text;
}

}  // namespace

TMailScratch::TMailScratch() {
  // The user's own temporary folder, which only that user may read.
  std::string folder = TPrivateTempFolder::SystemTempDir();
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  DWORD error = ERROR_FILE_EXISTS;
  for (int i = 0; i < kNameTries && FFd < 0; ++i) {
    FPath = folder + TPrivateTempFolder::kNamePrefix + std::to_string(::GetCurrentProcessId()) +
            "-" + RandomPart() + ".mail";
    // The reader opens the file again by name (sharing deletion); CREATE_NEW never opens a
    // file or link someone else planted at the name.
    const HANDLE handle = ::CreateFileW(
        Widen(FPath).c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      error = ::GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      break;
    }
    // Binary mode: the runtime would otherwise write every "\n" as "\r\n".
    FFd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (FFd < 0) {
      error = ::GetLastError();
      ::CloseHandle(handle);
      break;
    }
  }
  if (FFd < 0) throw EFileError(FormatRes(TStringId::FileCreateError, {Arg(FPath), Arg(SystemErrorText(error))}));
}

TMailScratch::~TMailScratch() {
  if (FFd >= 0) ::_close(FFd);
}

std::int64_t TMailScratch::Position() const { return ::_lseeki64(FFd, 0, SEEK_CUR); }

bool TMailScratch::CutAt(std::int64_t offset) const {
  return ::_chsize_s(FFd, offset) == 0 && ::_lseeki64(FFd, offset, SEEK_SET) == offset;
}
