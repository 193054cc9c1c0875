#pragma once
// Minimal JSON text output for the command-line tool's --json forms.

#include <cstdint>
#include <string>
#include <string_view>

// A JSON string literal of UTF-8 text, quotes included.
std::string JsonString(std::string_view text);
