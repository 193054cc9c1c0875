#include "TempFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "Exception.h"
#include "TNEFReaderConst.h"
#include "TempFolderName.h"

namespace {

int RemoveEntry(const char* path, const struct stat*, int type, struct FTW*) {
  if (type == FTW_DP)
    ::rmdir(path);
  else
    ::unlink(path);
  return 0;  // keep going: remove what can be removed
}

// Our folders hold a folder per attachment and its copy; anything deeper is not ours to
// walk, and the bound keeps the recursion's stack small.
constexpr int kMaxRemoveDepth = 8;

// Removes the entries of the folder open as fd, then nothing else: links are unlinked,
// never followed, and subfolders are opened relative to fd without following links, so
// no path can be swapped under the walk. Returns false when something stayed.
bool RemoveContentsAt(int fd, int depth) {
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  bool all = true;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  for (const std::string& name : names) {
    struct stat st {};
    if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      all = false;
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      const int sub = depth < kMaxRemoveDepth ? ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1;
      if (sub < 0 || !RemoveContentsAt(sub, depth + 1) || ::unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0) all = false;
    } else if (::unlinkat(fd, name.c_str(), 0) != 0) {
      all = false;
    }
  }
  ::closedir(dir);  // closes fd too
  return all;
}

}  // namespace

int TPrivateTempFolder::RemoveStaleFolders(const std::string& folder) {
  const std::string base = folder.empty() ? SystemTempDir() : folder;
  const int baseFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (baseFd < 0) return 0;
  DIR* dir = ::fdopendir(baseFd);
  if (dir == nullptr) {
    ::close(baseFd);
    return 0;
  }
  std::vector<std::string> candidates;
  while (const dirent* entry = ::readdir(dir)) {
    const auto pid = static_cast<pid_t>(PidInTempFolderName(entry->d_name));
    // kill(pid, 0) failing with ESRCH: no such process. A process of another user (EPERM)
    // is alive, and a pid reused since only keeps the folder for a later start.
    if (pid != 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH) candidates.emplace_back(entry->d_name);
  }
  int removed = 0;
  for (const std::string& name : candidates) {
    struct stat st {};
    if (::fstatat(baseFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 07777) != 0700) continue;
    const int fd = ::openat(baseFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    // The folder opened must be the one looked at, not one put in its place meanwhile.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || opened.st_dev != st.st_dev || opened.st_ino != st.st_ino) {
      ::close(fd);
      continue;
    }
    if (RemoveContentsAt(fd, 0) && ::unlinkat(baseFd, name.c_str(), AT_REMOVEDIR) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

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
    pattern += kNamePrefix + std::to_string(::getpid()) + "-XXXXXX";
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
