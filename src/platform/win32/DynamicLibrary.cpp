#include "DynamicLibrary.h"

#include <windows.h>

#include <cstdint>

#include "WideText.h"

TDynamicLibrary::~TDynamicLibrary() { Unload(); }

bool TDynamicLibrary::Load(const std::string& path) {
  Unload();
  // No system dialog for a missing file or one of its parts; the caller reports it.
  DWORD oldMode = 0;
  const BOOL modeSet = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
  // The library's own dependencies are looked for beside it first, not in the current
  // folder, where a saved attachment could sit.
  HMODULE module = ::LoadLibraryExW(Widen(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD error = ::GetLastError();
  if (modeSet) ::SetThreadErrorMode(oldMode, nullptr);
  FHandle = reinterpret_cast<void*>(module);
  if (FHandle) return true;
  FLastError = SystemErrorText(error);
  return false;
}

void* TDynamicLibrary::Symbol(const char* name) const {
  if (!FHandle) return nullptr;
  // Through an integer: ISO C++ has no direct cast from a function to an object pointer.
  return reinterpret_cast<void*>(
      reinterpret_cast<std::uintptr_t>(::GetProcAddress(static_cast<HMODULE>(FHandle), name)));
}

void TDynamicLibrary::Unload() {
  if (FHandle) ::FreeLibrary(static_cast<HMODULE>(FHandle));
  FHandle = nullptr;
}
