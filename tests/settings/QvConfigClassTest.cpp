// The settings engine: initial values, loading, compare-before-save, defaults, the stored
// forms of each kind, nested objects, and the errors.

#include <gtest/gtest.h>

#include "ErrorMessage.h"

#include <filesystem>
#include <fstream>

#include "ExecutablePath.h"
#include "QvConfigClass.h"
#include "SettingsText.h"
#include "XdgSandbox.h"

namespace {

const char* const kKey = "Software\\EngineTest";

// One indexed property of every supported kind.
class TAllKinds : public TQvConfigClass {
public:
  explicit TAllKinds(bool autoSave = true) : TQvConfigClass(false, autoSave, kKey) { AfterConstruction(); }
  TPropList PublishedProperties() const override {
    TPropList p = TQvConfigClass::PublishedProperties();
    p.push_back(IndexedProperty("Flag", TTypeKind::Enumeration, "Boolean", 0));
    p.push_back(IndexedProperty("Count", TTypeKind::Integer, "Integer", 1, 42));
    p.push_back(IndexedProperty("Small", TTypeKind::Integer, "Byte", 2));
    p.push_back(IndexedProperty("Letter", TTypeKind::Char, "AnsiChar", 3));
    p.push_back(IndexedProperty("Name", TTypeKind::LString, "string", 4));
    p.push_back(IndexedProperty("Wide", TTypeKind::WString, "WideString", 5));
    p.push_back(IndexedProperty("Ratio", TTypeKind::Float, "Double", 6));
    p.push_back(IndexedProperty("Big", TTypeKind::Int64, "Int64", 7));
    return p;
  }
};

// The settings key as the registry holds it.
struct TKey {
  TKey() { EXPECT_TRUE(Reg.OpenKey(std::string("\\") + kKey, true)); }
  TRegistry Reg;
};

TEST(SettingsEngine, AnEmptyKeyGivesInitialValuesAndIsCreated) {
  TXdgSandbox sandbox;
  TAllKinds s;
  EXPECT_FALSE(s.GetBoolean(0));
  EXPECT_EQ(s.GetInteger(1), 42);  // the declared default
  EXPECT_EQ(s.GetByte(2), 0);
  EXPECT_EQ(s.GetChar(3), '\0');
  EXPECT_EQ(s.GetString(4), "");
  EXPECT_EQ(s.GetWideString(5), u"");
  EXPECT_EQ(s.GetDouble(6), 0.0);
  EXPECT_EQ(s.GetInt64(7), 0);
  EXPECT_EQ(s.ValueCount(), 8u);
  TKey key;
  EXPECT_TRUE(key.Reg.GetValueNames().empty());
}

TEST(SettingsEngine, SettersWriteAtOnceAndOnlyWhenTheValueChanges) {
  TXdgSandbox sandbox;
  TAllKinds s;
  TKey key;
  s.SetBoolean(0, false);
  s.SetString(4, "");
  s.SetInteger(1, 42);
  EXPECT_TRUE(key.Reg.GetValueNames().empty());  // equal values write nothing

  s.SetBoolean(0, true);
  s.SetString(4, "text");
  s.SetWideString(5, u"wide \u00e9");
  s.SetChar(3, 'x');
  EXPECT_EQ(key.Reg.ReadInteger("Flag"), 1);
  EXPECT_EQ(key.Reg.ReadString("Name"), "text");
  EXPECT_EQ(key.Reg.ReadString("Wide"), "wide \xc3\xa9");
  EXPECT_EQ(key.Reg.ReadInteger("Letter"), 'x');

  // A value changed behind the object's back is not rewritten by an equal set.
  key.Reg.WriteString("Name", "outside");
  s.SetString(4, "text");
  EXPECT_EQ(key.Reg.ReadString("Name"), "outside");

  // Objects alive together do not see each other; a new one does.
  TAllKinds other;
  EXPECT_EQ(other.GetString(4), "outside");
  other.SetBoolean(0, false);
  EXPECT_TRUE(s.GetBoolean(0));
  EXPECT_FALSE(TAllKinds().GetBoolean(0));
  EXPECT_EQ(key.Reg.ReadInteger("Flag"), 0);  // written as 0: no default declared
}

TEST(SettingsEngine, ADeclaredDefaultIsDeletedInsteadOfWritten) {
  TXdgSandbox sandbox;
  TAllKinds s;
  TKey key;
  s.SetInteger(1, 7);
  EXPECT_EQ(key.Reg.ReadInteger("Count"), 7);
  s.SetInteger(1, 42);
  EXPECT_FALSE(key.Reg.ValueExists("Count"));
  EXPECT_EQ(TAllKinds().GetInteger(1), 42);
}

TEST(SettingsEngine, AByteCellKeepsWhatWasStored) {
  TXdgSandbox sandbox;
  {
    TKey key;
    key.Reg.WriteInteger("Small", 256);
  }
  TAllKinds s;
  EXPECT_EQ(s.GetByte(2), 0);
  EXPECT_EQ(s.GetInteger(2), 256);  // no range test on load
  s.SetByte(2, 0);                  // the whole cell differs: stored
  TKey key;
  EXPECT_EQ(key.Reg.ReadInteger("Small"), 0);
}

TEST(SettingsEngine, FloatsAndInt64sAreStoredAsText) {
  TXdgSandbox sandbox;
  TAllKinds s;
  TKey key;
  s.SetDouble(6, 1.5);
  EXPECT_EQ(key.Reg.ReadString("Ratio"), " 1.50000000000000E+0000");
  EXPECT_EQ(key.Reg.GetData("Ratio")->Type, REG_SZ);
  s.SetSingle(6, -0.25f);
  EXPECT_EQ(key.Reg.ReadString("Ratio"), "-2.50000000000000E-0001");
  s.SetExtended(6, 0);
  EXPECT_EQ(key.Reg.ReadString("Ratio"), " 0.00000000000000E+0000");
  EXPECT_EQ(FloatToRegText(123456789012345678.0L), " 1.23456789012346E+0017");
  s.SetInt64(7, -1);
  EXPECT_EQ(key.Reg.ReadString("Big"), "-1");

  for (const char* stored : {"2.5", "   2.5", "+25E-1", "2.5e0"}) {
    key.Reg.WriteString("Ratio", stored);
    EXPECT_EQ(TAllKinds().GetDouble(6), 2.5) << stored;
  }
  for (const char* stored : {"abc", "2,5", "2.5 ", "inf", "", "1e"}) {
    key.Reg.WriteString("Ratio", stored);
    EXPECT_EQ(TAllKinds().GetDouble(6), 0.0) << stored;  // ignored: initial value
  }
  key.Reg.WriteString("Big", " -9223372036854775808");
  EXPECT_EQ(TAllKinds().GetInt64(7), INT64_MIN);
  for (const char* stored : {"12x", "9223372036854775808", "", "-"}) {
    key.Reg.WriteString("Big", stored);
    EXPECT_EQ(MessageOf([] { TAllKinds(); }), "'" + std::string(stored) + "' is not a valid integer value");
  }
}

TEST(SettingsEngine, AStoredValueOfTheWrongTypeFailsConstruction) {
  TXdgSandbox sandbox;
  TKey key;
  key.Reg.WriteInteger("Name", 3);
  EXPECT_EQ(MessageOf([] { TAllKinds(); }), "Invalid data type for 'Name'");
  key.Reg.DeleteValue("Name");
  key.Reg.WriteString("Flag", "1");
  EXPECT_EQ(MessageOf([] { TAllKinds(); }), "Invalid data type for 'Flag'");
  key.Reg.WriteData("Flag", REG_DWORD, std::string(8, '\0'));
  EXPECT_EQ(MessageOf([] { TAllKinds(); }), "Failed to get data for 'Flag'");
  key.Reg.DeleteValue("Flag");
  key.Reg.WriteString("Unrelated", "ignored");
  key.Reg.WriteString("flag", std::string());  // value names ignore case
  EXPECT_EQ(MessageOf([] { TAllKinds(); }), "Invalid data type for 'Flag'");
}

class TGap : public TQvConfigClass {
public:
  TGap() : TQvConfigClass(false, true, kKey) { AfterConstruction(); }
  TPropList PublishedProperties() const override {
    return {IndexedProperty("Only", TTypeKind::Enumeration, "Boolean", 5)};
  }
};

TEST(SettingsEngine, AccessorsFindOnlyTheirOwnKindAtTheirIndex) {
  TXdgSandbox sandbox;
  TGap gap;
  EXPECT_EQ(gap.ValueCount(), 6u);
  EXPECT_EQ(MessageOf([&] { gap.GetBoolean(3); }), "Property not found");
  EXPECT_EQ(MessageOf([&] { gap.SetBoolean(-1, true); }), "Property not found");
  EXPECT_EQ(MessageOf([&] { gap.GetString(5); }), "Property not found");

  TAllKinds s;
  EXPECT_EQ(MessageOf([&] { s.GetBoolean(4); }), "Property not found");   // a string
  EXPECT_EQ(MessageOf([&] { s.SetString(0, "x"); }), "Property not found");  // a Boolean
  EXPECT_EQ(MessageOf([&] { s.GetDouble(7); }), "Property not found");    // an Int64
  EXPECT_EQ(MessageOf([&] { s.SetInt64(6, 1); }), "Property not found");   // a float
  EXPECT_EQ(s.GetInteger(0), 0);  // ordinal accessors share ordinal cells
}

// A class whose extra property is of the given kind, indexed or not.
class TOdd : public TQvConfigClass {
public:
  TOdd(TTypeKind kind, bool indexed) : TQvConfigClass(false, true, kKey), FKind(kind), FIndexed(indexed) {
    AfterConstruction();
  }
  TPropList PublishedProperties() const override {
    TPropInfo p = IndexedProperty("Odd", FKind, "TSomething", FIndexed ? 0 : kNoIndex);
    return {p};
  }

private:
  TTypeKind FKind;
  bool FIndexed;
};

TEST(SettingsEngine, UnsupportedKinds) {
  TXdgSandbox sandbox;
  for (TTypeKind kind : {TTypeKind::Set, TTypeKind::WChar, TTypeKind::Variant, TTypeKind::Record})
    EXPECT_EQ(MessageOf([&] { TOdd(kind, true); }), "Unsupported property type");
  // Unindexed: fine until a value of its name exists.
  EXPECT_NO_THROW(TOdd(TTypeKind::Set, false));
  TKey key;
  key.Reg.WriteInteger("Odd", 1);
  EXPECT_EQ(MessageOf([] { TOdd(TTypeKind::Set, false); }), "Unsupported property type");
}

class TEmpty : public TQvConfigClass {
public:
  explicit TEmpty(bool autoSave) : TQvConfigClass(false, autoSave, "Software\\Empty\\Deep") {
    AfterConstruction();
  }
};

TEST(SettingsEngine, WithoutPropertiesOrAutoSave) {
  TXdgSandbox sandbox;
  TEmpty noSave(false);
  TAllKinds memoryOnly(false);
  memoryOnly.SetString(4, "kept in memory");
  EXPECT_EQ(memoryOnly.GetString(4), "kept in memory");
  // Neither object touched the registry.
  EXPECT_FALSE(std::filesystem::exists(sandbox.UserStore()));

  TEmpty empty(true);
  EXPECT_EQ(empty.ValueCount(), 0u);
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists("\\Software\\Empty\\Deep"));
}

TEST(SettingsEngine, TheDefaultKeyIsNamedAfterTheExecutable) {
  EXPECT_EQ(TQvConfigClass::DefaultKeyPath("C:\\Tools\\My.Tool.exe"), "Software\\My.Tool");
  EXPECT_EQ(TQvConfigClass::DefaultKeyPath("/usr/bin/velquin-reader"), "Software\\velquin-reader");
  TXdgSandbox sandbox;
  TEmpty probe(false);
  class TDefault : public TQvConfigClass {
  public:
    TDefault() : TQvConfigClass(false, true, "") { AfterConstruction(); }
  } object;
  EXPECT_EQ(object.KeyPath(), TQvConfigClass::DefaultKeyPath(ExecutablePath()));
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists("\\" + object.KeyPath()));
}

#ifndef _WIN32
// A store folder that cannot be made is a Linux store's failure; the registry has no such.
TEST(SettingsEngine, AStoreThatCannotBeWrittenFailsTheSetterOnly) {
  TXdgSandbox sandbox;
  std::ofstream(sandbox.Path() + "/plainfile") << "x";
  sandbox.Set("XDG_CONFIG_HOME", sandbox.Path() + "/plainfile/config");
  TAllKinds s;
  EXPECT_EQ(s.GetInteger(1), 42);
  EXPECT_EQ(MessageOf([&] { s.SetBoolean(0, true); }), "Failed to set data for 'Flag'");
  EXPECT_TRUE(s.GetBoolean(0));  // held in memory, not stored
}
#endif

// Nested objects and unindexed properties.
class TInner : public TPersistent {
public:
  std::int32_t Width = 0;
  std::string Title;
  bool WithTitle = true;
  TPropList PublishedProperties() const override {
    TPropList p;
    TPropInfo width = IndexedProperty("Width", TTypeKind::Integer, "Integer", kNoIndex);
    width.GetOrd = [](TPersistent& o) { return static_cast<TInner&>(o).Width; };
    width.SetOrd = [](TPersistent& o, std::int32_t v) { static_cast<TInner&>(o).Width = v; };
    p.push_back(width);
    if (WithTitle) {
      TPropInfo title = IndexedProperty("Title", TTypeKind::LString, "string", kNoIndex);
      title.GetStr = [](TPersistent& o) { return static_cast<TInner&>(o).Title; };
      title.SetStr = [](TPersistent& o, const std::string& v) { static_cast<TInner&>(o).Title = v; };
      p.push_back(title);
    }
    return p;
  }
};

class TBare : public TPersistent {
public:
  int Hidden = 5;
};

class TOuter : public TQvConfigClass {
public:
  TInner Inner;
  TBare Bare;
  TPersistent* InnerRef = &Inner;
  TPersistent* BareRef = &Bare;
  TOuter() : TQvConfigClass(false, true, kKey) { AfterConstruction(); }
  TPropList PublishedProperties() const override {
    TPropList p = TQvConfigClass::PublishedProperties();
    TPropInfo inner = IndexedProperty("Inner", TTypeKind::Class, "TInner", kNoIndex);
    inner.GetObject = [](TPersistent& o) { return static_cast<TOuter&>(o).InnerRef; };
    p.push_back(inner);
    TPropInfo bare = IndexedProperty("Bare", TTypeKind::Class, "TBare", kNoIndex);
    bare.GetObject = [](TPersistent& o) { return static_cast<TOuter&>(o).BareRef; };
    p.push_back(bare);
    // Its setter sets an indexed property: while loading that must not be written.
    TPropInfo mirror = IndexedProperty("Mirror", TTypeKind::Integer, "Integer", kNoIndex);
    mirror.GetOrd = [](TPersistent& o) { return static_cast<TOuter&>(o).GetInteger(0); };
    mirror.SetOrd = [](TPersistent& o, std::int32_t v) { static_cast<TOuter&>(o).SetInteger(0, v); };
    p.push_back(mirror);
    p.push_back(IndexedProperty("Cell", TTypeKind::Integer, "Integer", 0));
    return p;
  }
  void Save() { SaveObject(this); }
};

TEST(SettingsEngine, NestedObjectsLiveInFreshSubkeys) {
  TXdgSandbox sandbox;
  TKey key;
  {
    TOuter outer;
    outer.Inner.Width = 640;
    outer.Inner.Title = "main";
    outer.Save();
  }
  TRegistry inner;
  ASSERT_TRUE(inner.OpenKey(std::string("\\") + kKey + "\\Inner", false));
  EXPECT_EQ(inner.ReadInteger("Width"), 640);
  EXPECT_EQ(inner.ReadString("Title"), "main");
  // A class without properties is saved as an empty subkey.
  EXPECT_TRUE(key.Reg.KeyExists("Bare"));
  EXPECT_TRUE(key.Reg.GetValueNames().size() == 2u);  // Mirror and Cell

  TOuter loaded;
  EXPECT_EQ(loaded.Inner.Width, 640);
  EXPECT_EQ(loaded.Inner.Title, "main");
  // Saving again starts from an empty subkey: Title, no longer declared, disappears.
  loaded.Inner.WithTitle = false;
  loaded.Save();
  EXPECT_TRUE(inner.OpenKey(std::string("\\") + kKey + "\\Inner", false));
  EXPECT_FALSE(inner.ValueExists("Title"));
  EXPECT_TRUE(inner.ValueExists("Width"));

  // No object: neither loaded nor saved, and its subkey is left alone.
  TOuter none;
  none.InnerRef = nullptr;
  none.Save();
  EXPECT_TRUE(inner.OpenKey(std::string("\\") + kKey + "\\Inner", false));
  EXPECT_TRUE(inner.ValueExists("Width"));
}

TEST(SettingsEngine, NothingIsWrittenWhileLoading) {
  TXdgSandbox sandbox;
  TKey key;
  key.Reg.WriteInteger("Mirror", 9);
  TOuter outer;
  EXPECT_EQ(outer.GetInteger(0), 9);  // set through Mirror's setter while loading...
  EXPECT_FALSE(key.Reg.ValueExists("Cell"));  // ...and not written back
}

}  // namespace
