// The registry store on Windows is the system registry: HKEY_CURRENT_USER,
// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE through the Reg*W functions. Names are UTF-8 in
// the program and UTF-16 in the registry; string data is stored as UTF-16 like every other
// program's, and read back as UTF-8 with its closing NUL.
#include "RegistryStore.h"

#include <windows.h>

#include <cstring>

#include "WideText.h"

namespace {

// Windows limits a key name to 255 characters; paths are checked as the Linux store does.
constexpr std::size_t kMaxKeyNameLength = 255;
// A value name has at most 16383 characters.
constexpr DWORD kMaxValueNameLength = 16384;

bool ValidPath(const std::string& path) {
  if (path.empty()) return true;
  std::size_t start = 0;
  while (true) {
    const auto sep = path.find('\\', start);
    const std::size_t len = (sep == std::string::npos ? path.size() : sep) - start;
    if (len == 0 || len > kMaxKeyNameLength) return false;
    if (sep == std::string::npos) return true;
    start = sep + 1;
  }
}

HKEY RootOf(THive hive) {
  switch (hive) {
    case THive::ClassesRoot: return HKEY_CLASSES_ROOT;
    case THive::LocalMachine: return HKEY_LOCAL_MACHINE;
    case THive::CurrentUser: break;
  }
  return HKEY_CURRENT_USER;
}

bool IsString(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// An open key, closed when it goes.
class TKey {
public:
  TKey(THive hive, const std::string& path, REGSAM access) {
    if (ValidPath(path) &&
        ::RegOpenKeyExW(RootOf(hive), Widen(path).c_str(), 0, access, &FKey) != ERROR_SUCCESS)
      FKey = nullptr;
  }
  ~TKey() {
    if (FKey) ::RegCloseKey(FKey);
  }
  TKey(const TKey&) = delete;
  TKey& operator=(const TKey&) = delete;
  explicit operator bool() const { return FKey != nullptr; }
  HKEY Get() const { return FKey; }

private:
  HKEY FKey = nullptr;
};

}  // namespace

// The registry needs no prepared queries.
struct TRegistryStore::TStatementCache {};

TRegistryStore::TRegistryStore(std::string path, sqlite3* db, bool writable)
    : FPath(std::move(path)), FDb(db), FWritable(writable) {}

std::unique_ptr<TRegistryStore> TRegistryStore::Open(const std::string& path, bool writable) {
  if (path.empty()) return nullptr;
  return std::unique_ptr<TRegistryStore>(new TRegistryStore(path, nullptr, writable));
}

TRegistryStore::~TRegistryStore() = default;

bool TRegistryStore::KeyExists(THive hive, const std::string& path) {
  if (!ValidPath(path)) return false;
  if (path.empty()) return true;
  return static_cast<bool>(TKey(hive, path, KEY_READ));
}

bool TRegistryStore::CreateKey(THive hive, const std::string& path) {
  if (!ValidPath(path)) return false;
  if (path.empty()) return true;
  if (!FWritable) return KeyExists(hive, path);
  HKEY key = nullptr;
  if (::RegCreateKeyExW(RootOf(hive), Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  ::RegCloseKey(key);
  return true;
}

bool TRegistryStore::DeleteKey(THive hive, const std::string& path) {
  if (!FWritable || path.empty() || !ValidPath(path)) return false;
  if (!KeyExists(hive, path)) return false;
  return ::RegDeleteTreeW(RootOf(hive), Widen(path).c_str()) == ERROR_SUCCESS;
}

std::optional<TRegValue> TRegistryStore::GetValue(THive hive, const std::string& path,
                                                  const std::string& name) {
  TKey key(hive, path, KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  const std::wstring wideName = Widen(name);
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  // The value may grow between the two calls; ask again with the size it has then.
  std::string data;
  LSTATUS rc = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
    data.assign(size, '\0');
    rc = ::RegQueryValueExW(key.Get(), wideName.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size);
  }
  if (rc != ERROR_SUCCESS) return std::nullopt;
  data.resize(size);
  if (!IsString(type)) return TRegValue{type, data};
  std::wstring wide(data.size() / 2, L'\0');
  if (!wide.empty()) std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
  // Bytes as stored, as the Linux store gives them: a string another program stored without
  // its closing NUL stays without one (readers stop at the end or the first NUL), so a
  // reader with a fixed-size buffer sees the size that was written.
  return TRegValue{type, Narrow(wide)};
}

bool TRegistryStore::SetValue(THive hive, const std::string& path, const std::string& name,
                              const TRegValue& value) {
  if (!FWritable) return false;
  TKey key(hive, path, KEY_SET_VALUE);
  if (!key) return false;
  std::string bytes = value.Data;
  std::size_t size = bytes.size();
  if (IsString(value.Type)) {
    const std::wstring wide = Widen(value.Data);
    size = wide.size() * sizeof(wchar_t);
    bytes.assign(reinterpret_cast<const char*>(wide.data()), size);
    // RegSetValueExW stores one character more than it is given when a string without its
    // closing NUL is followed by a NUL in memory (a std::wstring always is). The stored size
    // must be the size given, as on Linux, so the bytes handed over are followed by a
    // character that is not NUL and is not counted.
    bytes.append(sizeof(wchar_t), '\x01');
  }
  return ::RegSetValueExW(key.Get(), Widen(name).c_str(), 0, value.Type,
                          reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool TRegistryStore::DeleteValue(THive hive, const std::string& path, const std::string& name) {
  if (!FWritable) return false;
  TKey key(hive, path, KEY_SET_VALUE);
  return key && ::RegDeleteValueW(key.Get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> TRegistryStore::SubKeyNames(THive hive, const std::string& path) {
  std::vector<std::string> names;
  TKey key(hive, path, KEY_ENUMERATE_SUB_KEYS);
  if (!key) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[kMaxKeyNameLength + 1];
    DWORD length = kMaxKeyNameLength + 1;
    if (::RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.push_back(Narrow(std::wstring_view(name, length)));
  }
  return names;
}

std::vector<std::string> TRegistryStore::ValueNames(THive hive, const std::string& path) {
  std::vector<std::string> names;
  TKey key(hive, path, KEY_QUERY_VALUE);
  if (!key) return names;
  std::wstring name(kMaxValueNameLength, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = kMaxValueNameLength;
    if (::RegEnumValueW(key.Get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.push_back(Narrow(std::wstring_view(name.data(), length)));
  }
  return names;
}
