// Our own mail library on Windows: velquin-mapi.dll in the program's own folder, where the
// build and the installation put it.
#include "ExecutablePath.h"
#include "MapiHelper.h"
#include "SafeFileName.h"

std::string TMapiHelper::InstalledMailLibrary() {
  const std::string exe = ExecutablePath();
  const auto cut = exe.find_last_of("/\\");
  if (!IsFullPath(exe) || cut == std::string::npos) return "";
  const std::string path = exe.substr(0, cut + 1) + "velquin-mapi.dll";
  return FileExists(path) ? path : "";
}
