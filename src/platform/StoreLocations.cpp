#include "StoreLocations.h"

#include <cstdlib>
#include <mutex>

#include "ExecutablePath.h"

namespace {

std::mutex& OverrideMutex() {
  static std::mutex m;
  return m;
}
std::optional<std::string>& ExeFolderOverride() {
  static std::optional<std::string> folder;
  return folder;
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// The XDG rules ignore relative paths in these variables.
bool IsAbsolute(const std::string& p) { return !p.empty() && p[0] == '/'; }

std::string Join(const std::string& folder, const std::string& rest) {
  if (!folder.empty() && folder.back() == '/') return folder + rest;
  return folder + "/" + rest;
}

std::string ExecutableFolder() {
  {
    std::lock_guard lock(OverrideMutex());
    if (ExeFolderOverride()) return *ExeFolderOverride();
  }
  const std::string exe = ExecutablePath();
  const auto slash = exe.rfind('/');
  return slash == std::string::npos ? "" : exe.substr(0, slash);
}

std::vector<std::string> ConfigDirs() {
  std::vector<std::string> dirs;
  const std::string list = Env("XDG_CONFIG_DIRS");
  std::size_t start = 0;
  while (start <= list.size()) {
    auto colon = list.find(':', start);
    if (colon == std::string::npos) colon = list.size();
    const std::string dir = list.substr(start, colon - start);
    if (IsAbsolute(dir)) dirs.push_back(dir);
    start = colon + 1;
  }
  if (dirs.empty()) dirs.push_back("/etc/xdg");
  return dirs;
}

}  // namespace

std::string UserConfigHome() {
  const std::string xdg = Env("XDG_CONFIG_HOME");
  if (IsAbsolute(xdg)) return xdg;
  const std::string home = Env("HOME");
  return home.empty() ? "" : Join(home, ".config");
}

std::string UserDataHome() {
  const std::string xdg = Env("XDG_DATA_HOME");
  if (IsAbsolute(xdg)) return xdg;
  const std::string home = Env("HOME");
  return home.empty() ? "" : Join(home, ".local/share");
}

std::string UserStorePath() {
  const std::string home = UserConfigHome();
  return home.empty() ? "" : Join(home, kStoreRelativePath);
}

std::vector<std::string> MachineStorePaths() {
  std::vector<std::string> paths;
  for (const std::string& dir : ConfigDirs()) paths.push_back(Join(dir, kStoreRelativePath));
  const std::string exeFolder = ExecutableFolder();
  if (!exeFolder.empty()) paths.push_back(Join(exeFolder, std::string("../etc/xdg/") + kStoreRelativePath));
  return paths;
}

std::string MachineWriteStorePath() { return Join(ConfigDirs().front(), kStoreRelativePath); }

void SetExecutableFolderForStores(std::optional<std::string> folder) {
  std::lock_guard lock(OverrideMutex());
  ExeFolderOverride() = std::move(folder);
}
