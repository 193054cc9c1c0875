#pragma once
// Points every XDG folder (and HOME) of this process at a scratch folder for one test, so no
// test reads or writes the real home or the build tree's machine store. Restores the
// environment when it goes.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "StoreLocations.h"
#include "TempDir.h"

#ifdef _WIN32
// The C runtime's own environment; an empty value removes the variable.
inline int setenv(const char* name, const char* value, int) { return ::_putenv_s(name, value); }
inline int unsetenv(const char* name) { return ::_putenv_s(name, ""); }

// On Windows the store is the system registry, so a test gets empty roots of its own: the
// three predefined keys of this process are pointed at fresh keys under a scratch key of
// the real user hive, and pointed back (at the enclosing sandbox's, or the real ones) when
// it goes.
class TRegistryRoots {
public:
  TRegistryRoots();
  ~TRegistryRoots();
  TRegistryRoots(const TRegistryRoots&) = delete;
  TRegistryRoots& operator=(const TRegistryRoots&) = delete;

private:
  std::wstring FScratch;
  void* FKeys[3] = {};
};
#endif

class TXdgSandbox {
public:
  TXdgSandbox() {
    Set("HOME", FDir / "home");
    Set("XDG_CONFIG_HOME", FDir / "config");
    Set("XDG_CONFIG_DIRS", FDir / "etc");
    Set("XDG_DATA_HOME", FDir / "data");
    // xdg-mime picks the desktop's own tool from these; the plain mimeapps.list way is the
    // one every test expects.
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                             "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID"})
      Unset(name);
    SetExecutableFolderForStores(std::string());
  }
  ~TXdgSandbox() {
    SetExecutableFolderForStores(std::nullopt);
    for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
      if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
      else ::unsetenv(it->first.c_str());
    }
  }
  TXdgSandbox(const TXdgSandbox&) = delete;
  TXdgSandbox& operator=(const TXdgSandbox&) = delete;

  const std::string& Path() const { return FDir.Path(); }
  std::string ConfigHome() const { return FDir / "config"; }
  std::string MachineDir() const { return FDir / "etc"; }
  std::string DataHome() const { return FDir / "data"; }
  // A system-wide data folder where an installed desktop entry may be put; HideSystemData
  // makes it the only one, so programs installed on this machine do not count.
  std::string SystemData() const { return FDir / "share"; }
  void HideSystemData() { Set("XDG_DATA_DIRS", SystemData()); }
  std::string UserStore() const { return ConfigHome() + "/velquin-reader/registry.sqlite3"; }
  std::string MachineStore() const { return MachineDir() + "/velquin-reader/registry.sqlite3"; }

  // Changes one variable for the rest of the test (restored at the end).
  void Set(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    FSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }

  void Unset(const std::string& name) {
    const char* old = std::getenv(name.c_str());
    FSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::unsetenv(name.c_str());
  }

private:
  TTempDir FDir;
  std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
#ifdef _WIN32
  TRegistryRoots FRoots;
#endif
};
