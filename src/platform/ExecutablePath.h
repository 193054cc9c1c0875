#pragma once
// Where the running program lives.

#include <string>

// The full path of the running executable ("" when the system cannot tell).
std::string ExecutablePath();
