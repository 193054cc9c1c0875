#pragma once
// The viewer's modules: shared objects it loads on first use from the one place the
// installation puts them, <prefix>/lib/velquin-reader beside the running program's bin/.
// A path never comes from a file or the environment; only the tests name another.

#include <string>

#include "ExecutablePath.h"  // InstalledModulePath

// Loads the module at path and returns its entry point, or nullptr with the reason in
// reason. A module that loaded stays loaded until the program ends: objects it made may
// live that long. A file that others could have changed is refused before it is loaded.
void* LoadModuleEntry(const std::string& path, const char* entryName, std::string& reason);
