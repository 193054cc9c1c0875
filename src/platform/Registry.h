#pragma once
// TRegistry: the registry access object. It holds a root key, at most one open current key
// and that key's path, over the SQLite stores (see StoreLocations.h and RegistryStore.h).
//
// Path rules: a path that begins with "\" is taken from the root; any other path from the
// current key when one is open, else from the root. Reads under HKEY_CLASSES_ROOT that the
// store cannot answer go to the installed IClassesRootProvider.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Exception.h"
#include "RegistryStore.h"

enum class TRootKey { CurrentUser, LocalMachine, ClassesRoot };

inline constexpr TRootKey HKEY_CURRENT_USER = TRootKey::CurrentUser;
inline constexpr TRootKey HKEY_LOCAL_MACHINE = TRootKey::LocalMachine;
inline constexpr TRootKey HKEY_CLASSES_ROOT = TRootKey::ClassesRoot;

// Registry value types, with their Windows numbers.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

// A value that could not be read or written.
class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

class TRegistry {
public:
  // Starts at HKEY_CURRENT_USER with no current key.
  TRegistry();
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  TRootKey RootKey() const { return FRootKey; }
  // Closes the current key and changes the root.
  void SetRootKey(TRootKey root);

  // Opens key (see the path rules); with canCreate, missing keys along the path are made.
  // On failure nothing changes and the result is false; never raises.
  bool OpenKey(const std::string& key, bool canCreate);
  // Opens an existing key for reading only.
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool HasCurrentKey() const { return FHasKey; }
  // The path built by the opens since the last close (without a leading "\").
  const std::string& CurrentPath() const { return FCurrentPath; }

  bool KeyExists(const std::string& key);
  // Whether key is in the stores themselves, leaving out the keys the classes-root provider
  // makes up from the system's file types (asking it loads the whole type database).
  bool StoredKeyExists(const std::string& key);
  // Deletes the key with all its subkeys; false when it does not exist or cannot go.
  bool DeleteKey(const std::string& key);
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();

  // Values of the current key; the empty name is the key's default value.
  bool ValueExists(const std::string& name);
  // The stored type and bytes, without any type test (nullopt when absent).
  std::optional<TRegValue> GetData(const std::string& name);
  // REG_DWORD only. Raises "Failed to get data for '%s'" for a missing value or data longer
  // than 4 bytes, "Invalid data type for '%s'" for another type.
  std::int32_t ReadInteger(const std::string& name);
  // REG_SZ or REG_EXPAND_SZ (not expanded), up to the first NUL; a missing value or one
  // with no data reads as "". Raises "Invalid data type for '%s'" for another type.
  std::string ReadString(const std::string& name);
  // Each write raises "Failed to set data for '%s'" when it cannot be stored.
  void WriteInteger(const std::string& name, std::int32_t value);
  void WriteString(const std::string& name, const std::string& value);
  void WriteExpandString(const std::string& name, const std::string& value);
  void WriteBinaryData(const std::string& name, const std::string& bytes);
  // Stores bytes under any type as given.
  void WriteData(const std::string& name, std::uint32_t type, const std::string& bytes);
  bool DeleteValue(const std::string& name);

private:
  struct TLayer {
    TRegistryStore* Store;
    THive Hive;
  };

  // The full key path for key under the path rules; nullopt for a malformed path.
  std::optional<std::string> Resolve(const std::string& key, bool* relative) const;
  bool KeyExistsAt(const std::string& fullPath);
  std::vector<TLayer> ReadLayers();
  // The store writes go to, opened (and created) on first use; nullptr when unavailable.
  TRegistryStore* WriteStore();
  THive Hive() const;
  [[noreturn]] void RaiseSetFailed(const std::string& name) const;

  TRootKey FRootKey = TRootKey::CurrentUser;
  bool FHasKey = false;
  bool FReadOnly = false;
  std::string FKeyPath;      // the current key's full path below the root
  std::string FCurrentPath;  // as the opens built it
  // Shared with the thread's other registry objects while any of them holds it.
  std::shared_ptr<TRegistryStore> FUserStore;
  bool FUserStoreTried = false;
  std::vector<std::unique_ptr<TRegistryStore>> FMachineStores;
  bool FMachineStoresTried = false;
  std::unique_ptr<TRegistryStore> FMachineWriteStore;
  bool FMachineWriteStoreTried = false;
};
