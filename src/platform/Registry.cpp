#include "Registry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>
#include <strings.h>

#include "ClassesRootProvider.h"
#include "StoreLocations.h"
#include "StoreNotices.h"
#include "TNEFReaderConst.h"

namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Joins the names of several stores, dropping spellings of a name already listed.
void AddUnique(std::vector<std::string>& into, const std::vector<std::string>& names) {
  for (const std::string& n : names)
    if (std::none_of(into.begin(), into.end(), [&](const std::string& m) { return SameName(m, n); }))
      into.push_back(n);
}

std::string Le32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return s;
}

// The user's store as the thread's registry objects share it while any of them holds it open.
// Several objects read the options in turn at start (the window, its first show, the file
// association), and each opening of a connection (the schema read, the statements prepared)
// costs more than all of their reads; every object still reads the values afresh.
std::shared_ptr<TRegistryStore> OpenSharedStore(const std::string& path, bool writable) {
  thread_local std::map<std::pair<std::string, bool>, std::weak_ptr<TRegistryStore>> open;
  std::weak_ptr<TRegistryStore>& slot = open[{path, writable}];
  if (std::shared_ptr<TRegistryStore> store = slot.lock()) return store;
  std::shared_ptr<TRegistryStore> store = TRegistryStore::Open(path, writable);
  slot = store;
  return store;
}

}  // namespace

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(TRootKey root) {
  CloseKey();
  FRootKey = root;
}

THive TRegistry::Hive() const {
  switch (FRootKey) {
    case TRootKey::LocalMachine: return THive::LocalMachine;
    case TRootKey::ClassesRoot: return THive::ClassesRoot;
    case TRootKey::CurrentUser: break;
  }
  return THive::CurrentUser;
}

std::optional<std::string> TRegistry::Resolve(const std::string& key, bool* relative) const {
  std::string rel = key;
  const bool isRelative = rel.empty() || rel[0] != '\\';
  if (!isRelative) rel.erase(0, 1);
  if (relative) *relative = isRelative;
  // A closing backslash names the same key, as it does for the Windows registry.
  if (!rel.empty() && rel.back() == '\\') rel.pop_back();
  std::string full = rel;
  if (isRelative && FHasKey && !FKeyPath.empty())
    full = rel.empty() ? FKeyPath : FKeyPath + "\\" + rel;
  if (!full.empty() && (full.front() == '\\' || full.find("\\\\") != std::string::npos))
    return std::nullopt;
  return full;
}

std::vector<TRegistry::TLayer> TRegistry::ReadLayers() {
  std::vector<TLayer> layers;
  if (FRootKey != TRootKey::LocalMachine) {
    if (!FUserStoreTried) {
      FUserStoreTried = true;
      const std::string path = UserStorePath();
      FUserStore = OpenSharedStore(path, true);
      // Without the right to write there the settings can still be read; the user hears
      // once that changes will not last.
      if (!FUserStore) {
        RecordStoreNotice("not saved " + path, FormatRes(TStringId::SettingsNotSaved, {Arg(path)}));
        FUserStore = OpenSharedStore(path, false);
      }
    }
    if (FUserStore) layers.push_back({FUserStore.get(), Hive()});
    return layers;
  }
  if (FMachineWriteStore) layers.push_back({FMachineWriteStore.get(), THive::LocalMachine});
  if (!FMachineStoresTried) {
    FMachineStoresTried = true;
    for (const std::string& path : MachineStorePaths())
      if (auto store = TRegistryStore::Open(path, false)) FMachineStores.push_back(std::move(store));
  }
  for (const auto& store : FMachineStores)
    if (!FMachineWriteStore || store->Path() != FMachineWriteStore->Path())
      layers.push_back({store.get(), THive::LocalMachine});
  return layers;
}

TRegistryStore* TRegistry::WriteStore() {
  if (FReadOnly) return nullptr;
  if (FRootKey != TRootKey::LocalMachine) {
    ReadLayers();
    return FUserStore.get();
  }
  if (!FMachineWriteStoreTried) {
    FMachineWriteStoreTried = true;
    FMachineWriteStore = TRegistryStore::Open(MachineWriteStorePath(), true);
  }
  return FMachineWriteStore.get();
}

bool TRegistry::KeyExistsAt(const std::string& fullPath) {
  if (fullPath.empty()) return true;
  for (const TLayer& layer : ReadLayers())
    if (layer.Store->KeyExists(layer.Hive, fullPath)) return true;
  if (FRootKey == TRootKey::ClassesRoot)
    if (auto provider = ClassesRootProvider()) return provider->KeyExists(fullPath);
  return false;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  bool relative = true;
  const auto full = Resolve(key, &relative);
  if (!full) return false;
  if (!KeyExistsAt(*full)) {
    if (!canCreate) return false;
    // Keys are created where this object writes; the read-only flag of an earlier
    // OpenKeyReadOnly does not carry over to an open with full access.
    const bool wasReadOnly = FReadOnly;
    FReadOnly = false;
    TRegistryStore* store = WriteStore();
    FReadOnly = wasReadOnly;
    if (!store || !store->CreateKey(Hive(), *full)) return false;
  }
  std::string rest = relative ? key : key.substr(1);
  FCurrentPath = (relative && FHasKey) ? FCurrentPath + "\\" + rest : rest;
  FKeyPath = *full;
  FHasKey = true;
  FReadOnly = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  if (!OpenKey(key, false)) return false;
  FReadOnly = true;
  return true;
}

void TRegistry::CloseKey() {
  FHasKey = false;
  FReadOnly = false;
  FKeyPath.clear();
  FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
  const auto full = Resolve(key, nullptr);
  return full && KeyExistsAt(*full);
}

bool TRegistry::StoredKeyExists(const std::string& key) {
  const auto full = Resolve(key, nullptr);
  if (!full) return false;
  if (full->empty()) return true;
  for (const TLayer& layer : ReadLayers())
    if (layer.Store->KeyExists(layer.Hive, *full)) return true;
  return false;
}

bool TRegistry::DeleteKey(const std::string& key) {
  const auto full = Resolve(key, nullptr);
  if (!full || full->empty()) return false;
  const bool wasReadOnly = FReadOnly;
  FReadOnly = false;
  TRegistryStore* store = WriteStore();
  FReadOnly = wasReadOnly;
  return store && store->DeleteKey(Hive(), *full);
}

std::vector<std::string> TRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (!FHasKey) return names;
  for (const TLayer& layer : ReadLayers()) AddUnique(names, layer.Store->SubKeyNames(layer.Hive, FKeyPath));
  return names;
}

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  if (!FHasKey) return names;
  for (const TLayer& layer : ReadLayers()) AddUnique(names, layer.Store->ValueNames(layer.Hive, FKeyPath));
  return names;
}

std::optional<TRegValue> TRegistry::GetData(const std::string& name) {
  if (!FHasKey) return std::nullopt;
  for (const TLayer& layer : ReadLayers()) {
    // Stores are consulted in order of preference; the first that holds the value answers.
    if (auto value = layer.Store->GetValue(layer.Hive, FKeyPath, name)) return value;
  }
  if (FRootKey == TRootKey::ClassesRoot)
    if (auto provider = ClassesRootProvider())
      if (auto text = provider->ReadString(FKeyPath, name)) return TRegValue{REG_SZ, *text + '\0'};
  return std::nullopt;
}

bool TRegistry::ValueExists(const std::string& name) { return GetData(name).has_value(); }

std::int32_t TRegistry::ReadInteger(const std::string& name) {
  const auto value = GetData(name);
  // The data is read into a 4-byte buffer first, so size fails before type.
  if (!value || value->Data.size() > 4)
    throw ERegistryException(FormatRes(TStringId::RegGetDataFailed, {Arg(name)}));
  if (value->Type != REG_DWORD)
    throw ERegistryException(FormatRes(TStringId::RegInvalidDataType, {Arg(name)}));
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < value->Data.size(); ++i)
    v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(value->Data[i])) << (8 * i);
  return static_cast<std::int32_t>(v);
}

std::string TRegistry::ReadString(const std::string& name) {
  const auto value = GetData(name);
  if (!value || value->Data.empty()) return "";
  if (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ)
    throw ERegistryException(FormatRes(TStringId::RegInvalidDataType, {Arg(name)}));
  const auto nul = value->Data.find('\0');
  return nul == std::string::npos ? value->Data : value->Data.substr(0, nul);
}

void TRegistry::RaiseSetFailed(const std::string& name) const {
  throw ERegistryException(FormatRes(TStringId::RegSetDataFailed, {Arg(name)}));
}

void TRegistry::WriteData(const std::string& name, std::uint32_t type, const std::string& bytes) {
  if (!FHasKey) RaiseSetFailed(name);
  TRegistryStore* store = WriteStore();
  if (!store) RaiseSetFailed(name);
  // A machine key may exist only in another machine store; it is made in the one written.
  if (FRootKey == TRootKey::LocalMachine && !store->CreateKey(Hive(), FKeyPath)) RaiseSetFailed(name);
  // A key that lives only in the provider's view gets its user copy on first write.
  if (FRootKey == TRootKey::ClassesRoot && !store->KeyExists(Hive(), FKeyPath) &&
      ClassesRootProvider() && ClassesRootProvider()->KeyExists(FKeyPath))
    store->CreateKey(Hive(), FKeyPath);
  if (!store->SetValue(Hive(), FKeyPath, name, TRegValue{type, bytes})) RaiseSetFailed(name);
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
  WriteData(name, REG_DWORD, Le32(value));
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  WriteData(name, REG_SZ, value + '\0');
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
  WriteData(name, REG_EXPAND_SZ, value + '\0');
}

void TRegistry::WriteBinaryData(const std::string& name, const std::string& bytes) {
  WriteData(name, REG_BINARY, bytes);
}

bool TRegistry::DeleteValue(const std::string& name) {
  if (!FHasKey) return false;
  TRegistryStore* store = WriteStore();
  return store && store->DeleteValue(Hive(), FKeyPath, name);
}
