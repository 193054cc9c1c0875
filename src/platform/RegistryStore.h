#pragma once
// One SQLite file holding registry keys and values. Keys are paths below a hive
// ("Software\Velquin"), compared without regard to ASCII case and stored as first spelled.
// Every write is its own transaction, so a process killed mid-write leaves every completed
// write, and two processes writing at once both persist (the second waits for the lock).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// The hives a store file can hold.
enum class THive : int { CurrentUser = 0, ClassesRoot = 1, LocalMachine = 2 };

// A value as stored: its registry type and its data bytes (strings with their closing NUL).
struct TRegValue {
  std::uint32_t Type = 0;
  std::string Data;
};

class TRegistryStore {
public:
  // Opens the store file. Writable stores create the file and its folder when missing and
  // replace a file that is not a readable database (keeping it under a timestamped name,
  // told through RecordStoreNotice). Read-only stores never create or change anything.
  // Returns nullptr when the file cannot be opened.
  static std::unique_ptr<TRegistryStore> Open(const std::string& path, bool writable);
  ~TRegistryStore();
  TRegistryStore(const TRegistryStore&) = delete;
  TRegistryStore& operator=(const TRegistryStore&) = delete;

  const std::string& Path() const { return FPath; }

  // The empty path is the hive's root, which always exists.
  bool KeyExists(THive hive, const std::string& path);
  // Creates the key and every missing key above it; true when it exists afterwards.
  bool CreateKey(THive hive, const std::string& path);
  // Deletes the key with all its subkeys and values; false when it did not exist.
  bool DeleteKey(THive hive, const std::string& path);
  std::optional<TRegValue> GetValue(THive hive, const std::string& path, const std::string& name);
  // Fails (false) when the key does not exist, for instance after another process deleted it.
  bool SetValue(THive hive, const std::string& path, const std::string& name, const TRegValue& value);
  bool DeleteValue(THive hive, const std::string& path, const std::string& name);
  std::vector<std::string> SubKeyNames(THive hive, const std::string& path);
  std::vector<std::string> ValueNames(THive hive, const std::string& path);

  // The queries prepared for this store's database, reused from call to call.
  struct TStatementCache;

private:
  TRegistryStore(std::string path, sqlite3* db, bool writable);

  std::string FPath;
  sqlite3* FDb = nullptr;  // the store's database; unused on Windows, where it is the registry
  bool FWritable = false;
  std::unique_ptr<TStatementCache> FStatements;  // goes before the database closes
};
