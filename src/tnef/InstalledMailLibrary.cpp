// Our own mail library where the Linux installation puts it: <prefix>/lib/velquin-reader.
#include <sys/stat.h>

#include "ExecutablePath.h"
#include "MapiHelper.h"

#ifndef VELQUIN_LIBDIR
#define VELQUIN_LIBDIR "lib"
#endif

std::string TMapiHelper::InstalledMailLibrary() {
  const std::string exe = ExecutablePath();
  const auto slash = exe.rfind('/');
  if (exe.empty() || exe[0] != '/' || slash == std::string::npos) return "";
  const std::string bin = exe.substr(0, slash);
  const auto up = bin.rfind('/');
  const std::string prefix = up == std::string::npos ? "" : bin.substr(0, up);
  const std::string path = prefix + "/" VELQUIN_LIBDIR "/velquin-reader/libvelquin-mapi.so";
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? path : "";
}
