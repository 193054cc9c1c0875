// Our own mail library where the Linux installation puts it: <prefix>/lib/velquin-reader.
#include <sys/stat.h>

#include "ExecutablePath.h"
#include "MapiHelper.h"

std::string TMapiHelper::InstalledMailLibrary() {
  const std::string path = InstalledModulePath("libvelquin-mapi.so");
  if (path.empty()) return "";
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? path : "";
}
