#include "RtfTokenizer.h"

#include <algorithm>

namespace {

// Control words are at most 32 letters and parameters at most 10 digits in well-formed RTF;
// longer ones are consumed whole but their name and value are clipped.
constexpr std::size_t kMaxWordLetters = 32;
constexpr std::int64_t kParamClamp = 0x7FFFFFFF;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

TRtfToken TRtfTokenizer::Next() {
  TRtfToken token;
  while (FPos < FInput.size()) {
    const char c = FInput[FPos];
    if (c == '{') { ++FPos; token.Kind = TRtfTokenKind::GroupStart; return token; }
    if (c == '}') { ++FPos; token.Kind = TRtfTokenKind::GroupEnd; return token; }
    if (c == '\\') {
      token = ReadControl();
      if (token.Kind == TRtfTokenKind::Text && token.Name.empty()) continue;
      return token;
    }
    if (c == '\r' || c == '\n') { ++FPos; continue; }  // line ends carry no meaning in RTF
    const std::size_t start = FPos;
    while (FPos < FInput.size()) {
      const char d = FInput[FPos];
      if (d == '{' || d == '}' || d == '\\' || d == '\r' || d == '\n') break;
      ++FPos;
    }
    token.Kind = TRtfTokenKind::Text;
    token.Name = FInput.substr(start, FPos - start);
    return token;
  }
  return token;
}

TRtfToken TRtfTokenizer::ReadControl() {
  TRtfToken token;
  ++FPos;  // the backslash
  if (FPos >= FInput.size()) { token.Kind = TRtfTokenKind::End; return token; }
  const char c = FInput[FPos];
  if (!IsLetter(c)) {
    ++FPos;
    if (c == '\'') {
      // \'hh; a malformed pair is dropped with whatever hex digit it had
      const int hi = FPos < FInput.size() ? HexValue(FInput[FPos]) : -1;
      const int lo = FPos + 1 < FInput.size() ? HexValue(FInput[FPos + 1]) : -1;
      if (hi >= 0 && lo >= 0) {
        FPos += 2;
        token.Kind = TRtfTokenKind::HexByte;
        token.Byte = static_cast<std::uint8_t>(hi * 16 + lo);
        return token;
      }
      if (hi >= 0) ++FPos;
      token.Kind = TRtfTokenKind::Text;  // empty text: the caller moves on
      return token;
    }
    token.Kind = TRtfTokenKind::Symbol;
    token.Symbol = (c == '\r' || c == '\n') ? '\n' : c;
    return token;
  }
  const std::size_t start = FPos;
  while (FPos < FInput.size() && IsLetter(FInput[FPos])) ++FPos;
  token.Kind = TRtfTokenKind::Word;
  token.Name = FInput.substr(start, std::min(FPos - start, kMaxWordLetters));
  bool negative = false;
  if (FPos < FInput.size() && FInput[FPos] == '-' && FPos + 1 < FInput.size() &&
      IsDigit(FInput[FPos + 1])) {
    negative = true;
    ++FPos;
  }
  if (FPos < FInput.size() && IsDigit(FInput[FPos])) {
    std::int64_t value = 0;
    while (FPos < FInput.size() && IsDigit(FInput[FPos])) {
      if (value <= kParamClamp) value = value * 10 + (FInput[FPos] - '0');
      ++FPos;
    }
    if (value > kParamClamp) value = kParamClamp;
    token.HasParam = true;
    token.Param = static_cast<std::int32_t>(negative ? -value : value);
  }
  if (FPos < FInput.size() && FInput[FPos] == ' ') ++FPos;  // the delimiter belongs to the word
  if (token.Name == "bin" && token.HasParam && token.Param > 0) {
    // \binN: N raw bytes follow; a count beyond the input takes what is there
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(token.Param),
                                                FInput.size() - FPos);
    token.Kind = TRtfTokenKind::Binary;
    token.Name = FInput.substr(FPos, n);
    FPos += n;
  }
  return token;
}
