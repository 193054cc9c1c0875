#include <windows.h>

#include <cstdint>

#include "FileNameRules.h"
#include "SafeFileName.h"
#include "WideText.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows takes CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 as devices, whatever the case
// and whatever follows after a dot or blanks: "con.txt" opens the console, not a file.
bool IsDeviceName(const std::string& name) {
  std::size_t end = name.find('.');
  if (end == std::string::npos) end = name.size();
  while (end > 0 && name[end - 1] == ' ') --end;
  std::string stem;
  for (std::size_t i = 0; i < end; ++i) stem += Upper(name[i]);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

constexpr std::size_t kNameMax = 255;

}  // namespace

std::string AvoidReservedName(std::string name) {
  if (!IsDeviceName(name)) return name;
  name.insert(name.begin(), '_');
  // Stay inside the length limit without splitting a character.
  while (name.size() > kNameMax) {
    std::size_t last = name.size() - 1;
    while (last > 0 && (static_cast<std::uint8_t>(name[last]) & 0xC0) == 0x80) --last;
    name.erase(last);
  }
  return name;
}

bool FileExists(const std::string& path) {
  // A link or junction counts as existing without being followed.
  return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFullPath(const std::string& path) {
  const auto slash = [&](std::size_t i) { return i < path.size() && (path[i] == '\\' || path[i] == '/'); };
  const bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && slash(2);
  return drive || (slash(0) && slash(1));
}

void RemoveFileQuietly(const std::string& path) { ::DeleteFileW(Widen(path).c_str()); }
