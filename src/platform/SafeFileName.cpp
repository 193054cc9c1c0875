#include "SafeFileName.h"

#include <cstdint>
#include <utility>

#include "FileNameRules.h"

namespace {

constexpr std::size_t kNameMax = 255;  // NAME_MAX of Linux file systems, in bytes

// Index where the extension (the last ".xxx", not a leading dot) starts, or npos.
std::size_t ExtensionStart(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return std::string::npos;
  return dot;
}

// Cuts UTF-8 text to at most max bytes without splitting a character.
std::string CutUtf8(const std::string& s, std::size_t max) {
  if (s.size() <= max) return s;
  std::size_t end = max;
  while (end > 0 && (static_cast<std::uint8_t>(s[end]) & 0xC0) == 0x80) --end;
  return s.substr(0, end);
}

// Length of the invisible or reordering character that starts at s[i] (C1 controls and the
// bidirectional marks, embeddings, overrides and isolates, as UTF-8), 0 for anything else.
// A name like "doc\u202Etxt.exe" would otherwise show as "docexe.txt".
std::size_t HiddenCharLength(std::string_view s, std::size_t i) {
  const auto at = [&](std::size_t k) { return i + k < s.size() ? static_cast<std::uint8_t>(s[i + k]) : 0; };
  if (at(0) == 0xC2 && at(1) >= 0x80 && at(1) <= 0x9F) return 2;  // U+0080-U+009F
  if (at(0) == 0xE2 && at(1) == 0x80 && (at(2) == 0x8E || at(2) == 0x8F)) return 3;  // U+200E, U+200F
  if (at(0) == 0xE2 && at(1) == 0x80 && at(2) >= 0xAA && at(2) <= 0xAE) return 3;  // U+202A-U+202E
  if (at(0) == 0xE2 && at(1) == 0x81 && at(2) >= 0xA6 && at(2) <= 0xA9) return 3;  // U+2066-U+2069
  return 0;
}

// Characters that FAT and exFAT (a USB stick) and Windows shares refuse in a name.
bool RefusedByFat(char c) {
  for (char refused : {':', '?', '*', '"', '<', '>', '|'})
    if (c == refused) return true;
  return false;
}

}  // namespace

std::string CleanFileName(std::string_view name, const std::string& fallback) {
  // Only the last folder part counts; Windows names use "\" as the separator.
  const auto slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);

  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    const auto b = static_cast<std::uint8_t>(c);
    if (b == 0) break;
    if (b < 0x20 || b == 0x7F) continue;
    if (const std::size_t hidden = HiddenCharLength(name, i)) {
      i += hidden - 1;
      continue;
    }
    out += RefusedByFat(c) ? '_' : c;
  }
  // Trailing blanks and dots are invisible in a file manager and refused by Windows
  // file systems that a user may save to.
  while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(out.begin());

  if (out.size() > kNameMax) {
    const auto ext = ExtensionStart(out);
    std::string extension = ext != std::string::npos && out.size() - ext <= 32 ? out.substr(ext) : "";
    out = CutUtf8(out.substr(0, out.size() - extension.size()), kNameMax - extension.size()) +
          extension;
  }
  if (out.empty() || out == "." || out == "..") return fallback;
  return AvoidReservedName(std::move(out));
}

std::string NumberedFileName(const std::string& name, int n) {
  const std::string suffix = " (" + std::to_string(n) + ")";
  const auto ext = ExtensionStart(name);
  const std::string stem = ext == std::string::npos ? name : name.substr(0, ext);
  const std::string extension = ext == std::string::npos ? "" : name.substr(ext);
  return CutUtf8(stem, kNameMax - suffix.size() - extension.size()) + suffix + extension;
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}
