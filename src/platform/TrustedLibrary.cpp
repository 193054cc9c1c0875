#include "TrustedLibrary.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "TNEFReaderConst.h"

namespace {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool OwnedByUsOrRoot(const struct stat& st) { return st.st_uid == 0 || st.st_uid == ::getuid(); }
bool WritableByOthers(const struct stat& st) { return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0; }

// The reason a file or folder may not be trusted, "" when it may.
std::string Refusal(const std::string& path, const std::string& shown) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "";  // the loader reports a missing file itself
  if (!OwnedByUsOrRoot(st)) return FormatRes(TStringId::MapiLibraryForeignOwner, {Arg(shown)});
  if (WritableByOthers(st)) return FormatRes(TStringId::MapiLibraryWritableByOthers, {Arg(shown)});
  return "";
}

}  // namespace

std::string TrustedLibraryRefusal(const std::string& path) {
  if (path.empty()) return LoadResString(TStringId::MapiLibraryNotSet);
  if (path[0] != '/') return FormatRes(TStringId::MapiLibraryNotFullPath, {Arg(path)});

  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  const std::string resolved = real ? std::string(real.get()) : path;
  for (const std::string& candidate : {path, resolved, FolderOf(path), FolderOf(resolved)}) {
    std::string reason = Refusal(candidate, path);
    if (!reason.empty()) return reason;
  }
  return "";
}
