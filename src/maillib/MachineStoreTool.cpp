// velquin-machine-store STORE LIBRARY: writes into the machine registry store file STORE the
// two HKEY_LOCAL_MACHINE values by which the viewer finds its mail library: MAPI = "1" and
// DLLPathEx = LIBRARY. Run at build time for the build tree and at install for the system.

#include <cstdio>
#include <filesystem>
#include <string>

#include "Registry.h"
#include "RegistryStore.h"

namespace {

bool SetString(TRegistryStore& store, const std::string& key, const std::string& name,
               const std::string& text) {
  return store.CreateKey(THive::LocalMachine, key) &&
         store.SetValue(THive::LocalMachine, key, name, TRegValue{REG_SZ, text + '\0'});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velquin-machine-store STORE LIBRARY\n");
    return 2;
  }
  // Made here with the usual modes: a machine store is read by every user, while the store
  // would make a missing folder private to its owner.
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(argv[1]).parent_path(), ec);
  auto store = TRegistryStore::Open(argv[1], true);
  if (!store ||
      !SetString(*store, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPI", "1") ||
      !SetString(*store, "SOFTWARE\\Clients\\Mail\\Microsoft Outlook", "DLLPathEx", argv[2])) {
    std::fprintf(stderr, "velquin-machine-store: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
