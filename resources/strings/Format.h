#pragma once
// printf-style formatting restricted to %s, %d and %%, with the arguments' types checked at
// run time instead of trusted: a translated text with a wrong placeholder cannot crash.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

using TFormatArg = std::variant<std::string_view, std::int64_t>;

// Replaces each %s / %d of fmt by the next argument, %% by %. A placeholder without an
// argument is kept as written; a string given for %d (or a number for %s) is printed as is.
std::string FormatText(std::string_view fmt, std::initializer_list<TFormatArg> args);

inline TFormatArg Arg(std::string_view s) { return s; }
inline TFormatArg Arg(const std::string& s) { return std::string_view(s); }
inline TFormatArg Arg(const char* s) { return std::string_view(s); }
inline TFormatArg Arg(long long v) { return static_cast<std::int64_t>(v); }
inline TFormatArg Arg(int v) { return static_cast<std::int64_t>(v); }
inline TFormatArg Arg(unsigned v) { return static_cast<std::int64_t>(v); }
inline TFormatArg Arg(long v) { return static_cast<std::int64_t>(v); }
inline TFormatArg Arg(unsigned long v) { return static_cast<std::int64_t>(v); }
inline TFormatArg Arg(unsigned long long v) { return static_cast<std::int64_t>(v); }
