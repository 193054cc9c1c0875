#pragma once
// A shared library loaded at run time (dlopen), unloaded when the object goes.

#include <string>

class TDynamicLibrary {
public:
  TDynamicLibrary() = default;
  ~TDynamicLibrary();
  TDynamicLibrary(const TDynamicLibrary&) = delete;
  TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

  // Loads path; on failure returns false and keeps the system's reason in LastError().
  bool Load(const std::string& path);
  void* Symbol(const char* name) const;
  bool Loaded() const { return FHandle != nullptr; }
  void Unload();
  // The system's text for the last failure, without trailing blanks, control characters
  // or full stops.
  const std::string& LastError() const { return FLastError; }

private:
  void* FHandle = nullptr;
  std::string FLastError;
};
