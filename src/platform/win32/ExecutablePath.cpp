#include "ExecutablePath.h"

#include <windows.h>

#include <string>

#include "WideText.h"

std::string ExecutablePath() {
  // A path may be longer than MAX_PATH; grow until the name is no longer cut.
  for (DWORD size = 1024; size <= 65536; size *= 4) {
    std::wstring buffer(size, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), size);
    if (n == 0) return "";
    if (n < size) return Narrow(std::wstring_view(buffer.data(), n));
  }
  return "";
}
