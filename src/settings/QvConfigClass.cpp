#include "QvConfigClass.h"

#include "ExecutablePath.h"
#include "SettingsText.h"
#include "TNEFReaderConst.h"

namespace {

bool IsOrdinal(TTypeKind k) {
  return k == TTypeKind::Integer || k == TTypeKind::Char || k == TTypeKind::Enumeration;
}
bool IsString(TTypeKind k) {
  return k == TTypeKind::String || k == TTypeKind::LString || k == TTypeKind::WString;
}

[[noreturn]] void NotFound() { throw EConfigClass(LoadResString(TStringId::ConfigPropertyNotFound)); }
[[noreturn]] void Unsupported() { throw EConfigClass(LoadResString(TStringId::ConfigUnsupportedType)); }

// The value a cell holds, raising "Unsupported property type" when it holds another kind
// (two descriptors of different kinds sharing one index).
template <typename T>
T& As(TValueCell& cell) {
  if (auto* v = std::get_if<T>(&cell)) return *v;
  Unsupported();
}
template <typename T>
const T& As(const TValueCell& cell) {
  if (const auto* v = std::get_if<T>(&cell)) return *v;
  Unsupported();
}

// Runs a step and then always another, keeping the first step's exception.
template <typename Body, typename Finally>
void TryFinally(Body body, Finally finally) {
  try {
    body();
  } catch (...) {
    finally();
    throw;
  }
  finally();
}

}  // namespace

TQvConfigClass::TQvConfigClass(bool localMachine, bool autoSave, std::string keyPath)
    : FAutoSave(autoSave), FKeyPath(std::move(keyPath)), FLocalMachine(localMachine) {
  if (FKeyPath.empty()) FKeyPath = DefaultKeyPath(ExecutablePath());
}

TQvConfigClass::~TQvConfigClass() = default;

std::string TQvConfigClass::DefaultKeyPath(const std::string& executablePath) {
  std::string name = executablePath;
  const auto slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return "Software\\" + name;
}

void TQvConfigClass::AfterConstruction() {
  if (FAutoSave) OpenAndLoad();
  else InitializeValues();
}

std::optional<TPropInfo> TQvConfigClass::FindProperty(int index) const {
  for (TPropInfo& p : PublishedProperties())
    if (p.Index == index) return std::move(p);
  return std::nullopt;
}

TPropInfo TQvConfigClass::CheckProperty(int index) const {
  auto p = FindProperty(index);
  if (!p) NotFound();
  return std::move(*p);
}

TPropInfo TQvConfigClass::CheckAccessor(int index, TAccessor accessor) const {
  TPropInfo p = CheckProperty(index);
  bool fits = false;
  switch (accessor) {
    case TAccessor::Ordinal: fits = IsOrdinal(p.Kind); break;
    case TAccessor::String: fits = IsString(p.Kind); break;
    case TAccessor::Float: fits = p.Kind == TTypeKind::Float; break;
    case TAccessor::Int64: fits = p.Kind == TTypeKind::Int64; break;
  }
  // A Boolean accessor on a string property would read a string's storage as a number:
  // such a call finds no property of its kind at that index.
  if (!fits || index < 0 || static_cast<std::size_t>(index) >= FValues.size()) NotFound();
  return p;
}

TValueCell& TQvConfigClass::Cell(int index) { return FValues.at(static_cast<std::size_t>(index)); }
const TValueCell& TQvConfigClass::Cell(int index) const {
  return FValues.at(static_cast<std::size_t>(index));
}

void TQvConfigClass::OpenRootKey() {
  if (!FRegistry) {
    FRegistry = std::make_unique<TRegistry>();
    FRegistry->SetRootKey(FLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
  }
  // Not tested: a key that cannot be opened reads as empty, and the first save fails.
  FRegistry->OpenKey("\\" + FKeyPath, true);
}

void TQvConfigClass::LoadSettings() {
  FLoading = true;
  TryFinally([&] { LoadObject(this); }, [&] { FLoading = false; });
}

void TQvConfigClass::OpenAndLoad() {
  OpenRootKey();
  InitializeValues();
  LoadSettings();
}

void TQvConfigClass::InitializeValues() {
  const TPropList props = PublishedProperties();
  if (props.empty()) return;
  if (FValues.size() < props.size()) FValues.resize(props.size());
  for (const TPropInfo& p : props) {
    if (!p.HasIndex()) continue;
    const auto index = static_cast<std::size_t>(p.Index);
    if (FValues.size() < index + 1) FValues.resize(index + 1);
    TValueCell& cell = FValues[index];
    if (IsOrdinal(p.Kind)) {
      cell = static_cast<std::uint32_t>(p.Default == kNoDefault ? 0 : p.Default);
      continue;
    }
    if (std::holds_alternative<std::monostate>(cell)) {
      if (p.Kind == TTypeKind::Float) cell = 0.0L;
      else if (IsString(p.Kind)) cell = std::string();
      else if (p.Kind == TTypeKind::Int64) cell = std::int64_t{0};
    }
    ClearValue(p.TypeName, p.Index, p.Kind, cell);
  }
}

void TQvConfigClass::ClearValue(const std::string&, int, TTypeKind kind, TValueCell& cell) {
  if (kind == TTypeKind::Float) cell = 0.0L;
  else if (IsString(kind)) cell = std::string();
  else if (kind == TTypeKind::Int64) cell = std::int64_t{0};
  else Unsupported();
}

void TQvConfigClass::Changed(const TPropInfo& prop) {
  if (FAutoSave) SaveProperty(this, &prop);
}

bool TQvConfigClass::GetBoolean(int index) const {
  CheckAccessor(index, TAccessor::Ordinal);
  return (As<std::uint32_t>(Cell(index)) & 0xFF) != 0;
}

void TQvConfigClass::SetBoolean(int index, bool value) {
  const TPropInfo p = CheckAccessor(index, TAccessor::Ordinal);
  std::uint32_t& cell = As<std::uint32_t>(Cell(index));
  if ((cell & 0xFF) == static_cast<std::uint32_t>(value)) return;
  cell = value ? 1 : 0;
  Changed(p);
}

std::int32_t TQvConfigClass::GetInteger(int index) const {
  CheckAccessor(index, TAccessor::Ordinal);
  return static_cast<std::int32_t>(As<std::uint32_t>(Cell(index)));
}

void TQvConfigClass::SetInteger(int index, std::int32_t value) {
  const TPropInfo p = CheckAccessor(index, TAccessor::Ordinal);
  std::uint32_t& cell = As<std::uint32_t>(Cell(index));
  if (cell == static_cast<std::uint32_t>(value)) return;
  cell = static_cast<std::uint32_t>(value);
  Changed(p);
}

std::uint8_t TQvConfigClass::GetByte(int index) const {
  CheckAccessor(index, TAccessor::Ordinal);
  return static_cast<std::uint8_t>(As<std::uint32_t>(Cell(index)) & 0xFF);
}

void TQvConfigClass::SetByte(int index, std::uint8_t value) {
  const TPropInfo p = CheckAccessor(index, TAccessor::Ordinal);
  std::uint32_t& cell = As<std::uint32_t>(Cell(index));
  // The whole cell is compared: a stored 256 reads as Byte 0, and setting 0 then writes.
  if (cell == value) return;
  cell = value;
  Changed(p);
}

char TQvConfigClass::GetChar(int index) const {
  CheckAccessor(index, TAccessor::Ordinal);
  return static_cast<char>(As<std::uint32_t>(Cell(index)) & 0xFF);
}

void TQvConfigClass::SetChar(int index, char value) {
  const TPropInfo p = CheckAccessor(index, TAccessor::Ordinal);
  std::uint32_t& cell = As<std::uint32_t>(Cell(index));
  const auto v = static_cast<std::uint8_t>(value);
  if ((cell & 0xFF) == v) return;
  cell = v;
  Changed(p);
}

std::string TQvConfigClass::GetString(int index) const {
  CheckAccessor(index, TAccessor::String);
  return As<std::string>(Cell(index));
}

void TQvConfigClass::SetString(int index, const std::string& value) {
  const TPropInfo p = CheckAccessor(index, TAccessor::String);
  std::string& cell = As<std::string>(Cell(index));
  if (cell == value) return;
  cell = value;
  Changed(p);
}

std::u16string TQvConfigClass::GetWideString(int index) const {
  return Utf8ToUtf16(GetString(index));
}

void TQvConfigClass::SetWideString(int index, const std::u16string& value) {
  const TPropInfo p = CheckAccessor(index, TAccessor::String);
  std::string& cell = As<std::string>(Cell(index));
  if (Utf8ToUtf16(cell) == value) return;
  cell = Utf16ToUtf8(value);
  Changed(p);
}

float TQvConfigClass::GetSingle(int index) const { return static_cast<float>(GetExtended(index)); }
void TQvConfigClass::SetSingle(int index, float value) { SetExtended(index, value); }
double TQvConfigClass::GetDouble(int index) const { return static_cast<double>(GetExtended(index)); }
void TQvConfigClass::SetDouble(int index, double value) { SetExtended(index, value); }

long double TQvConfigClass::GetExtended(int index) const {
  CheckAccessor(index, TAccessor::Float);
  return As<long double>(Cell(index));
}

void TQvConfigClass::SetExtended(int index, long double value) {
  const TPropInfo p = CheckAccessor(index, TAccessor::Float);
  long double& cell = As<long double>(Cell(index));
  if (cell == value) return;
  cell = value;
  Changed(p);
}

std::int64_t TQvConfigClass::GetInt64(int index) const {
  CheckAccessor(index, TAccessor::Int64);
  return As<std::int64_t>(Cell(index));
}

void TQvConfigClass::SetInt64(int index, std::int64_t value) {
  const TPropInfo p = CheckAccessor(index, TAccessor::Int64);
  std::int64_t& cell = As<std::int64_t>(Cell(index));
  if (cell == value) return;
  cell = value;
  Changed(p);
}

TValueCell* TQvConfigClass::CellOf(TPersistent* object, const TPropInfo& prop) {
  auto* settings = dynamic_cast<TQvConfigClass*>(object);
  if (!settings || static_cast<std::size_t>(prop.Index) >= settings->FValues.size()) return nullptr;
  return &settings->FValues[static_cast<std::size_t>(prop.Index)];
}

void TQvConfigClass::LoadObject(TPersistent* object) {
  if (!object) return;
  for (const TPropInfo& p : object->PublishedProperties()) LoadProperty(object, p);
}

void TQvConfigClass::LoadProperty(TPersistent* object, const TPropInfo& prop) {
  if (prop.Kind == TTypeKind::Class) {
    TPersistent* nested = prop.GetObject ? prop.GetObject(*object) : nullptr;
    if (nested && OpenSubKey(prop.Name, false))
      TryFinally([&] { LoadObject(nested); }, [&] { CloseSubKey(); });
    return;
  }
  if (!FRegistry->ValueExists(prop.Name)) return;
  TValueCell* cell = prop.HasIndex() ? CellOf(object, prop) : nullptr;
  if (prop.HasIndex() && !cell) Unsupported();

  if (IsOrdinal(prop.Kind)) {
    // Taken unchanged, without a range test: a stored 256 stays 256 in a Byte's cell.
    const std::int32_t v = FRegistry->ReadInteger(prop.Name);
    if (cell) *cell = static_cast<std::uint32_t>(v);
    else if (prop.SetOrd) prop.SetOrd(*object, v);
  } else if (IsString(prop.Kind)) {
    std::string v = FRegistry->ReadString(prop.Name);
    if (cell) *cell = std::move(v);
    else if (prop.SetStr) prop.SetStr(*object, v);
  } else if (prop.Kind == TTypeKind::Float) {
    // A text that is not a number is ignored: the property keeps its value.
    const auto v = RegTextToFloat(FRegistry->ReadString(prop.Name));
    if (!v) return;
    if (cell) *cell = *v;
    else if (prop.SetFloat) prop.SetFloat(*object, *v);
  } else if (prop.Kind == TTypeKind::Int64) {
    const std::int64_t v = RegTextToInt64(FRegistry->ReadString(prop.Name));
    if (cell) *cell = v;
    else if (prop.SetInt64) prop.SetInt64(*object, v);
  } else {
    Unsupported();
  }
}

void TQvConfigClass::SaveObject(TPersistent* object) {
  if (!object) return;
  for (const TPropInfo& p : object->PublishedProperties()) SaveProperty(object, &p);
}

void TQvConfigClass::SaveProperty(TPersistent* object, const TPropInfo* prop) {
  if (!prop || FLoading) return;
  if (!FRegistry) OpenRootKey();
  if (prop->Kind == TTypeKind::Class) {
    TPersistent* nested = prop->GetObject ? prop->GetObject(*object) : nullptr;
    if (!nested) return;
    // A fresh subkey: values of properties the nested class no longer has disappear.
    DeleteSubKey(prop->Name);
    if (OpenSubKey(prop->Name, true))
      TryFinally([&] { SaveObject(nested); }, [&] { CloseSubKey(); });
    return;
  }
  TValueCell* cell = prop->HasIndex() ? CellOf(object, *prop) : nullptr;
  if (prop->HasIndex() && !cell) Unsupported();

  if (IsOrdinal(prop->Kind)) {
    const std::uint32_t v = cell ? As<std::uint32_t>(*cell)
                                 : static_cast<std::uint32_t>(prop->GetOrd ? prop->GetOrd(*object) : 0);
    // A declared default is not stored: the value is removed instead.
    if (cell && prop->Default != kNoDefault && v == static_cast<std::uint32_t>(prop->Default)) {
      if (FRegistry->ValueExists(prop->Name)) FRegistry->DeleteValue(prop->Name);
      return;
    }
    FRegistry->WriteInteger(prop->Name, static_cast<std::int32_t>(v));
  } else if (IsString(prop->Kind)) {
    FRegistry->WriteString(prop->Name,
                           cell ? As<std::string>(*cell) : (prop->GetStr ? prop->GetStr(*object) : ""));
  } else if (prop->Kind == TTypeKind::Float) {
    const long double v = cell ? As<long double>(*cell) : (prop->GetFloat ? prop->GetFloat(*object) : 0);
    FRegistry->WriteString(prop->Name, FloatToRegText(v));
  } else if (prop->Kind == TTypeKind::Int64) {
    const std::int64_t v = cell ? As<std::int64_t>(*cell) : (prop->GetInt64 ? prop->GetInt64(*object) : 0);
    FRegistry->WriteString(prop->Name, Int64ToRegText(v));
  } else {
    Unsupported();
  }
}

bool TQvConfigClass::OpenSubKey(const std::string& name, bool canCreate) {
  if (!canCreate && !FRegistry->KeyExists(name)) return false;
  try {
    return FRegistry->OpenKey(name, canCreate);
  } catch (...) {
    return false;
  }
}

void TQvConfigClass::CloseSubKey() {
  std::string parent = FRegistry->CurrentPath();
  const auto slash = parent.rfind('\\');
  parent = slash == std::string::npos ? "" : parent.substr(0, slash);
  FRegistry->CloseKey();
  if (!parent.empty()) FRegistry->OpenKey(parent, true);
}

void TQvConfigClass::DeleteSubKey(const std::string& name) {
  if (FRegistry->KeyExists(name)) FRegistry->DeleteKey(name);
}
