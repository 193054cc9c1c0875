#pragma once
// Published properties: the run-time description of a settings class's properties that the
// settings engine loads and saves. Each class lists its own in PublishedProperties, after
// its ancestors' (declaration order, ancestors first).

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The kinds of property type.
enum class TTypeKind {
  Integer, Char, Enumeration, Float, String, Set, Class, Method, WChar, LString, WString,
  Variant, Array, Record, Interface, Int64, DynArray
};

// "No index" and "no default" share this marker; every negative index means "no index".
inline constexpr std::int32_t kNoIndex = INT32_MIN;
inline constexpr std::int32_t kNoDefault = INT32_MIN;

class TPersistent;

// One published property.
struct TPropInfo {
  std::string Name;  // also the registry value (or subkey) name
  TTypeKind Kind = TTypeKind::Integer;
  std::string TypeName;  // "Boolean", "Byte", "string", ...
  std::int32_t Index = kNoIndex;
  std::int32_t Default = kNoDefault;  // ordinal types only

  // How the engine reads and writes a property without an index on its object; only the
  // pair of the property's kind is set.
  std::function<std::int32_t(TPersistent&)> GetOrd;
  std::function<void(TPersistent&, std::int32_t)> SetOrd;
  std::function<std::string(TPersistent&)> GetStr;
  std::function<void(TPersistent&, const std::string&)> SetStr;
  std::function<long double(TPersistent&)> GetFloat;
  std::function<void(TPersistent&, long double)> SetFloat;
  std::function<std::int64_t(TPersistent&)> GetInt64;
  std::function<void(TPersistent&, std::int64_t)> SetInt64;
  std::function<TPersistent*(TPersistent&)> GetObject;  // class-typed properties

  bool HasIndex() const { return Index >= 0; }
};

using TPropList = std::vector<TPropInfo>;

// A property stored in a cell of the settings engine, read and written through its typed
// accessors with the given index.
inline TPropInfo IndexedProperty(std::string name, TTypeKind kind, std::string typeName,
                                 std::int32_t index, std::int32_t defaultValue = kNoDefault) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = kind;
  p.TypeName = std::move(typeName);
  p.Index = index;
  p.Default = defaultValue;
  return p;
}

// The base of every class with published properties.
class TPersistent {
public:
  virtual ~TPersistent() = default;
  // Asked afresh each time; nothing keeps the list.
  virtual TPropList PublishedProperties() const { return {}; }
};
