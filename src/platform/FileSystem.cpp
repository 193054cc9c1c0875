#include <sys/stat.h>
#include <unistd.h>

#include "FileNameRules.h"
#include "SafeFileName.h"

// Linux file systems reserve no names beyond "." and "..", which the cleaner refuses itself.
std::string AvoidReservedName(std::string name) { return name; }

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsFullPath(const std::string& path) { return !path.empty() && path[0] == '/'; }

void RemoveFileQuietly(const std::string& path) { ::unlink(path.c_str()); }
