#include "DynamicLibrary.h"

#include <dlfcn.h>

#include <cstdint>

TDynamicLibrary::~TDynamicLibrary() { Unload(); }

bool TDynamicLibrary::Load(const std::string& path) {
  Unload();
  FHandle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (FHandle) return true;
  const char* err = ::dlerror();
  FLastError = err ? err : "";
  while (!FLastError.empty()) {
    const auto c = static_cast<std::uint8_t>(FLastError.back());
    if (c > ' ' && c != '.') break;
    FLastError.pop_back();
  }
  return false;
}

void* TDynamicLibrary::Symbol(const char* name) const {
  return FHandle ? ::dlsym(FHandle, name) : nullptr;
}

void TDynamicLibrary::Unload() {
  if (FHandle) ::dlclose(FHandle);
  FHandle = nullptr;
}
