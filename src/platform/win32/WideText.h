#pragma once
// The program keeps text and paths as UTF-8; the Windows API takes UTF-16. These convert
// at that boundary, and give the system's own words for an error code.

#include <string>
#include <string_view>

// UTF-8 to UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view utf8);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view utf16);

// The system's message for a Win32 error code (FormatMessageW from the system table, at
// most 256 characters), without trailing blanks, control characters or full stops.
std::string SystemErrorText(unsigned long code);
// SystemErrorText(GetLastError()).
std::string LastErrorText();
