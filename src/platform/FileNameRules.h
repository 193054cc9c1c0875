#pragma once
// What the file system of this system refuses in a name beyond what every system refuses;
// the name cleaner (SafeFileName.h) applies it last.

#include <string>

// The name as given, or changed so that this system takes it as an ordinary file name.
std::string AvoidReservedName(std::string name);
