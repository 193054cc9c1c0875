// Our own registry header names the roots as the system one does, so it comes first.
#include "XdgSandbox.h"

#include <windows.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

std::vector<TRegistryRoots*>& Stack() {
  static std::vector<TRegistryRoots*> stack;
  return stack;
}

const HKEY kRoots[3] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT};

// The user hive as it is on disk, whatever HKEY_CURRENT_USER points at just now.
HKEY RealUser() {
  static HKEY user = [] {
    HKEY key = nullptr;
    ::RegOpenCurrentUser(KEY_ALL_ACCESS, &key);
    return key;
  }();
  return user;
}

void Apply(void* const (&keys)[3]) {
  for (int i = 0; i < 3; ++i) ::RegOverridePredefKey(kRoots[i], static_cast<HKEY>(keys[i]));
}

}  // namespace

TRegistryRoots::TRegistryRoots() {
  // For a round trip through the real user hive (the Windows check reads it back from disk).
  if (std::getenv("VELQUIN_TEST_REAL_REGISTRY")) return;
  std::mt19937_64 generator{std::random_device{}()};
  FScratch = L"Software\\velquin-test-roots\\" + std::to_wstring(generator());
  for (int i = 0; i < 3; ++i) {
    const std::wstring path = FScratch + L"\\" + std::to_wstring(i);
    HKEY key = nullptr;
    ::RegCreateKeyExW(RealUser(), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    FKeys[i] = key;
  }
  Stack().push_back(this);
  Apply(FKeys);
}

TRegistryRoots::~TRegistryRoots() {
  if (FScratch.empty()) return;
  Stack().pop_back();
  if (Stack().empty()) {
    for (HKEY root : kRoots) ::RegOverridePredefKey(root, nullptr);
  } else {
    Apply(Stack().back()->FKeys);
  }
  for (void* key : FKeys) ::RegCloseKey(static_cast<HKEY>(key));
  ::RegDeleteTreeW(RealUser(), FScratch.c_str());
}
