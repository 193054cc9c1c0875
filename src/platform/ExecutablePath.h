#pragma once
// Where the running program lives.

#include <string>

// The full path of the running executable ("" when the system cannot tell).
std::string ExecutablePath();
// Where the installation puts our own shared objects: <prefix>/lib/velquin-reader/<fileName>,
// <prefix> being the folder above the running program's bin/; "" when its own path is unknown.
std::string InstalledModulePath(const std::string& fileName);
