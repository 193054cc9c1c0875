#pragma once
// Splits RTF bytes into tokens: group marks, control words with their parameter, control
// symbols, runs of text, \'hh bytes and \bin data. Never reads past the input and always
// advances, so a caller that loops until End terminates.

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class TRtfTokenKind { End, GroupStart, GroupEnd, Word, Symbol, Text, HexByte, Binary };

struct TRtfToken {
  TRtfTokenKind Kind = TRtfTokenKind::End;
  std::string_view Name;  // Word: the letters; Text and Binary: the bytes
  bool HasParam = false;
  std::int32_t Param = 0;
  char Symbol = 0;            // Symbol: the character after the backslash
  std::uint8_t Byte = 0;      // HexByte
};

class TRtfTokenizer {
public:
  explicit TRtfTokenizer(std::string_view input) : FInput(input) {}
  TRtfToken Next();
  std::size_t Position() const { return FPos; }

private:
  TRtfToken ReadControl();

  std::string_view FInput;
  std::size_t FPos = 0;
};
