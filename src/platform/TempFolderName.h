#pragma once
// How a private temporary folder's name carries the id of the process that made it, shared
// by the systems' sides so that each reads the names the other would write.

#include <string_view>

#include "TempFolder.h"

// The process id in a name of ours (kNamePrefix + "<pid>-<random>"), or 0 for any other
// name: the id is 1 to 9 decimal digits, and a random part must follow the dash.
inline long PidInTempFolderName(std::string_view name) {
  const std::string_view prefix = TPrivateTempFolder::kNamePrefix;
  if (name.substr(0, prefix.size()) != prefix) return 0;
  name.remove_prefix(prefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9 || dash + 1 == name.size()) return 0;
  long pid = 0;
  for (const char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}
