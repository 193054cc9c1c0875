#include "TempFolder.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Exception.h"
#include "TNEFReaderConst.h"

namespace {

int RemoveEntry(const char* path, const struct stat*, int type, struct FTW*) {
  if (type == FTW_DP)
    ::rmdir(path);
  else
    ::unlink(path);
  return 0;  // keep going: remove what can be removed
}

}  // namespace

std::string TPrivateTempFolder::SystemTempDir() {
  if (const char* dir = std::getenv("TMPDIR"); dir && *dir) {
    struct stat st {};
    if (::stat(dir, &st) == 0 && S_ISDIR(st.st_mode)) return dir;
  }
  return "/tmp";
}

const std::string& TPrivateTempFolder::Path() {
  if (FPath.empty()) {
    std::string pattern = SystemTempDir();
    if (pattern.back() != '/') pattern += '/';
    pattern += "velquin-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr)  // mkdtemp makes the folder with mode 0700
      throw EFileError(FormatRes(TStringId::TempFolderError, {Arg(std::strerror(errno))}));
    FPath = buffer.data();
  }
  return FPath;
}

std::string TPrivateTempFolder::SubFolder(const std::string& name) {
  std::string path = Path() + "/" + name;
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
    throw EFileError(FormatRes(TStringId::TempFolderError, {Arg(std::strerror(errno))}));
  return path;
}

TPrivateTempFolder::~TPrivateTempFolder() {
  if (FPath.empty()) return;
  // FTW_PHYS: links inside are removed, never followed.
  ::nftw(FPath.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}
