#pragma once
// Where the registry store files live, following the XDG base-directory rules.
//
//   HKEY_CURRENT_USER and the user's HKEY_CLASSES_ROOT: $XDG_CONFIG_HOME/velquin-reader/
//   registry.sqlite3 (default ~/.config). HKEY_LOCAL_MACHINE: velquin-reader/registry.sqlite3
//   in each folder of $XDG_CONFIG_DIRS (default /etc/xdg), then in ../etc/xdg beside the
//   executable's folder, so an installed tree finds its own machine store wherever it went.

#include <optional>
#include <string>
#include <vector>

// The name of a store file below a configuration folder.
inline constexpr const char* kStoreRelativePath = "velquin-reader/registry.sqlite3";

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config ("" when neither is known).
std::string UserConfigHome();
// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
std::string UserDataHome();

// The user's store file.
std::string UserStorePath();
// The machine store files in the order they are consulted (existing or not).
std::vector<std::string> MachineStorePaths();
// The machine store that writes under HKEY_LOCAL_MACHINE go to (the first $XDG_CONFIG_DIRS
// folder); only installers and tests write there.
std::string MachineWriteStorePath();

// Replaces the executable's folder used for ../etc/xdg ("" leaves that folder out); nullopt
// restores the real one. Lets tests run without the build tree's machine store.
void SetExecutableFolderForStores(std::optional<std::string> folder);
