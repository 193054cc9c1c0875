#pragma once
// TQvConfigClass: the base of the program's settings objects. A descendant declares its
// settings as published properties (PublishedProperties) and writes no loading or saving
// code: in auto-save mode the engine reads every property from one registry key when the
// object is constructed and writes a property back the moment a setter changes it.
//
// Properties with an index keep their value in a cell of FValues and are read and set
// through the typed accessors below; properties without one live wherever the descendant
// keeps them and are reached through their descriptor's accessors. A class-typed property
// is stored as a subkey holding the nested object's own properties.
//
// Construction has two steps because C++ runs no overrides inside a base constructor: the
// most derived constructor calls AfterConstruction() as its last statement, which loads
// (auto-save) or just initialises the values with the class's own descriptors and overrides.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Exception.h"
#include "Persistent.h"
#include "Registry.h"

// Raised with "Property not found" and "Unsupported property type".
class EConfigClass : public Exception {
public:
  using Exception::Exception;
};

// The value of one indexed property: empty, an ordinal zero-extended to 32 bits, or the
// owned storage of a float (extended precision), a string or a 64-bit integer.
using TValueCell = std::variant<std::monostate, std::uint32_t, long double, std::string, std::int64_t>;

class TQvConfigClass : public TPersistent {
public:
  // Stores the arguments; an empty keyPath selects "Software\" + the executable's name
  // without folder and extension. The registry is touched only by AfterConstruction.
  TQvConfigClass(bool localMachine, bool autoSave, std::string keyPath);
  ~TQvConfigClass() override;
  TQvConfigClass(const TQvConfigClass&) = delete;
  TQvConfigClass& operator=(const TQvConfigClass&) = delete;

  virtual void InitializeValues();
  // Gives a float, string or 64-bit cell its starting value (zero or empty); raises
  // "Unsupported property type" for any other kind. Descendants may give other values.
  virtual void ClearValue(const std::string& typeName, int index, TTypeKind kind, TValueCell& cell);

  // Typed accessors. Each raises EConfigClass "Property not found" when no published
  // property has the index, or when the property's kind does not fit the accessor. A setter
  // saves (in auto-save mode) only when the value changed.
  virtual bool GetBoolean(int index) const;
  virtual void SetBoolean(int index, bool value);
  virtual std::int32_t GetInteger(int index) const;
  virtual void SetInteger(int index, std::int32_t value);
  virtual std::uint8_t GetByte(int index) const;
  virtual void SetByte(int index, std::uint8_t value);
  virtual char GetChar(int index) const;
  virtual void SetChar(int index, char value);
  virtual std::string GetString(int index) const;
  virtual void SetString(int index, const std::string& value);
  virtual std::u16string GetWideString(int index) const;
  virtual void SetWideString(int index, const std::u16string& value);
  virtual float GetSingle(int index) const;
  virtual void SetSingle(int index, float value);
  virtual double GetDouble(int index) const;
  virtual void SetDouble(int index, double value);
  virtual long double GetExtended(int index) const;
  virtual void SetExtended(int index, long double value);
  virtual std::int64_t GetInt64(int index) const;
  virtual void SetInt64(int index, std::int64_t value);

  const std::string& KeyPath() const { return FKeyPath; }
  bool LocalMachine() const { return FLocalMachine; }
  bool AutoSave() const { return FAutoSave; }
  std::size_t ValueCount() const { return FValues.size(); }

  // "Software\" + the file name of executablePath without folder and extension.
  static std::string DefaultKeyPath(const std::string& executablePath);

protected:
  // Completes construction; the most derived constructor calls it last.
  void AfterConstruction();

  std::optional<TPropInfo> FindProperty(int index) const;
  TPropInfo CheckProperty(int index) const;
  void OpenRootKey();
  void LoadSettings();
  void OpenAndLoad();
  void LoadObject(TPersistent* object);
  void LoadProperty(TPersistent* object, const TPropInfo& prop);
  void SaveObject(TPersistent* object);
  void SaveProperty(TPersistent* object, const TPropInfo* prop);
  bool OpenSubKey(const std::string& name, bool canCreate);
  void CloseSubKey();
  void DeleteSubKey(const std::string& name);

  TRegistry* Registry() const { return FRegistry.get(); }

private:
  enum class TAccessor { Ordinal, String, Float, Int64 };
  // CheckProperty plus the test that the property's cell holds what the accessor reads.
  TPropInfo CheckAccessor(int index, TAccessor accessor) const;
  TValueCell& Cell(int index);
  const TValueCell& Cell(int index) const;
  // The cell of an indexed property of object (this object or a nested settings object).
  static TValueCell* CellOf(TPersistent* object, const TPropInfo& prop);
  void Changed(const TPropInfo& prop);

  std::unique_ptr<TRegistry> FRegistry;
  bool FLoading = false;
  bool FAutoSave = false;
  std::string FKeyPath;
  bool FLocalMachine = false;
  std::vector<TValueCell> FValues;
};
