#pragma once
// The texts settings are stored as: floats in 23-character scientific form, 64-bit integers
// in decimal, and the conversion between the 8-bit and wide forms of a string.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Exception.h"

// A text that does not convert to the number asked for.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// " 1.50000000000000E+0000": sign (blank or "-"), 15 significant digits, a 4-digit exponent.
std::string FloatToRegText(long double value);
// A decimal real number: leading blanks, optional sign, digits with an optional "." fraction
// and an optional exponent; "." whatever the locale. nullopt unless the whole text converts.
std::optional<long double> RegTextToFloat(std::string_view text);

std::string Int64ToRegText(std::int64_t value);
// Leading blanks, optional sign, decimal digits; raises EConvertError
// "'%s' is not a valid integer value" otherwise (or when it does not fit in 64 bits).
std::int64_t RegTextToInt64(std::string_view text);

// The program's 8-bit strings are UTF-8; wide strings UTF-16. Malformed input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
