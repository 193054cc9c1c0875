#pragma once
// Text conversions for bytes read from a file. Every function takes the bytes with their
// length and stops at the first NUL inside them.

#include <cstdint>
#include <string>
#include <string_view>

// Code page that eight-bit texts of a message are taken in when the message names none.
constexpr unsigned kDefaultCodePage = 1252;

// Decodes eight-bit text in the given Windows code page to UTF-8. Unknown code pages are
// taken as 1252; bytes that do not decode become U+FFFD.
std::string CodePageToUtf8(std::string_view bytes, unsigned codePage);

// Decodes little-endian UTF-16 to UTF-8 up to the first NUL character. Unpaired surrogates
// and a trailing odd byte become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

// True when bytes (up to the first NUL) are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// The bytes up to the first NUL (all of them when there is none).
std::string_view UpToNul(std::string_view bytes);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, std::uint32_t codePoint);
