// TRegistry over the SQLite stores: path rules, names, types and errors, hives, the
// HKEY_CLASSES_ROOT provider, and recovery from a damaged store file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ClassesRootProvider.h"
#include "Registry.h"
#include "RegistryStore.h"
#include "StoreNotices.h"
#include "TempDir.h"
#include "XdgSandbox.h"

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s += static_cast<char>(c);
  return s;
}

template <typename Fn>
std::string MessageOf(Fn fn) {
  try {
    fn();
  } catch (const ERegistryException& e) {
    return e.what();
  }
  return "(no exception)";
}

TEST(RegistryPaths, AbsoluteRelativeAndCurrentPath) {
  TXdgSandbox sandbox;
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.HasCurrentKey());

  ASSERT_TRUE(reg.OpenKey("\\Software\\Velquin", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Velquin");
  // Relative to the current key.
  ASSERT_TRUE(reg.OpenKey("Sub\\Deeper", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Velquin\\Sub\\Deeper");
  EXPECT_TRUE(reg.KeyExists("\\Software\\Velquin\\Sub"));
  // A leading backslash always starts from the root.
  ASSERT_TRUE(reg.OpenKey("\\Software", false));
  EXPECT_EQ(reg.CurrentPath(), "Software");

  // A failed open changes nothing.
  EXPECT_FALSE(reg.OpenKey("Missing", false));
  EXPECT_EQ(reg.CurrentPath(), "Software");
  EXPECT_FALSE(reg.KeyExists("Missing"));

  // Without a current key, a relative path starts from the root.
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentPath(), "");
  ASSERT_TRUE(reg.OpenKey("Software\\Velquin\\Sub", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Velquin\\Sub");

  // Malformed paths fail instead of naming some other key.
  reg.CloseKey();
  EXPECT_FALSE(reg.OpenKey("A\\\\B", true));
  EXPECT_FALSE(reg.OpenKey(std::string(256, 'k'), true));
  EXPECT_TRUE(reg.OpenKey(std::string(255, 'k'), true));
}

TEST(RegistryPaths, KeysAndValueNamesIgnoreCaseAndKeepTheirSpelling) {
  TXdgSandbox sandbox;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\MixedCase", true));
  reg.WriteString("ValueName", "x");
  reg.CloseKey();

  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\mixedcase", false));
  EXPECT_TRUE(reg.ValueExists("VALUENAME"));
  EXPECT_EQ(reg.ReadString("valuename"), "x");
  reg.WriteString("VALUENAME", "y");  // the same value, not a second one
  EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"ValueName"});
  EXPECT_EQ(reg.ReadString("ValueName"), "y");

  ASSERT_TRUE(reg.OpenKey("\\software", false));
  EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"MixedCase"});
}

TEST(RegistryKeys, DeleteKeyRemovesTheSubtreeAndNothingBeside) {
  TXdgSandbox sandbox;
  TRegistry reg;
  for (const char* key : {"\\A\\B\\C", "\\A\\B2", "\\A\\Bx\\Y", "\\AB"}) {
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteInteger("v", 1);
  }
  EXPECT_TRUE(reg.DeleteKey("\\a\\b"));
  EXPECT_FALSE(reg.KeyExists("\\A\\B"));
  EXPECT_FALSE(reg.KeyExists("\\A\\B\\C"));
  EXPECT_TRUE(reg.KeyExists("\\A\\B2"));
  EXPECT_TRUE(reg.KeyExists("\\A\\Bx\\Y"));
  EXPECT_TRUE(reg.KeyExists("\\AB"));
  EXPECT_FALSE(reg.DeleteKey("\\A\\B"));  // gone already
  EXPECT_FALSE(reg.DeleteKey("\\"));      // the root cannot go

  // A write to a key that was deleted under an open object fails.
  ASSERT_TRUE(reg.OpenKey("\\A\\B2", false));
  TRegistry other;
  ASSERT_TRUE(other.DeleteKey("\\A\\B2"));
  EXPECT_EQ(MessageOf([&] { reg.WriteInteger("w", 2); }), "Failed to set data for 'w'");
}

TEST(RegistryValues, TypesAndTheirErrors) {
  TXdgSandbox sandbox;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Values", true));
  reg.WriteInteger("Int", -5);
  reg.WriteString("Str", "text");
  reg.WriteString("", "default");
  reg.WriteExpandString("Exp", "%HOME%\\x");
  reg.WriteBinaryData("Bin", Bytes({0, 1, 2}));
  reg.WriteData("LongDword", REG_DWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0}));
  reg.WriteData("ShortDword", REG_DWORD, Bytes({7}));
  reg.WriteData("EmptyBinary", REG_BINARY, "");
  reg.WriteData("Embedded", REG_SZ, std::string("ab\0cd\0", 6));

  EXPECT_EQ(reg.ReadInteger("Int"), -5);
  EXPECT_EQ(reg.GetData("Int")->Type, REG_DWORD);
  EXPECT_EQ(reg.ReadString("Str"), "text");
  EXPECT_EQ(reg.GetData("Str")->Data, std::string("text\0", 5));
  EXPECT_EQ(reg.ReadString(""), "default");
  EXPECT_EQ(reg.ReadString("Exp"), "%HOME%\\x");  // not expanded
  EXPECT_EQ(reg.GetData("Bin")->Data, Bytes({0, 1, 2}));
  EXPECT_EQ(reg.ReadInteger("ShortDword"), 7);
  EXPECT_EQ(reg.ReadString("EmptyBinary"), "");  // no data reads as "" whatever the type
  EXPECT_EQ(reg.ReadString("Embedded"), "ab");
  EXPECT_EQ(reg.ReadString("Missing"), "");

  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("Str"); }), "Failed to get data for 'Str'");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("Bin"); }), "Invalid data type for 'Bin'");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("LongDword"); }), "Failed to get data for 'LongDword'");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
  EXPECT_EQ(MessageOf([&] { reg.ReadString("Int"); }), "Invalid data type for 'Int'");
  EXPECT_EQ(MessageOf([&] { reg.ReadString("Bin"); }), "Invalid data type for 'Bin'");

  EXPECT_TRUE(reg.DeleteValue("Str"));
  EXPECT_FALSE(reg.DeleteValue("Str"));
  EXPECT_FALSE(reg.ValueExists("Str"));

  reg.CloseKey();
  EXPECT_FALSE(reg.ValueExists("Int"));
  EXPECT_EQ(MessageOf([&] { reg.WriteString("x", "y"); }), "Failed to set data for 'x'");
}

TEST(RegistryHives, EachRootIsItsOwnTree) {
  TXdgSandbox sandbox;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Shared", true));
  reg.WriteString("", "user");
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_FALSE(reg.KeyExists("\\Shared"));
  ASSERT_TRUE(reg.OpenKey("\\Shared", true));
  reg.WriteString("", "classes");
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.KeyExists("\\Shared"));

  TRegistry again;
  ASSERT_TRUE(again.OpenKey("\\Shared", false));
  EXPECT_EQ(again.ReadString(""), "user");
#ifndef _WIN32
  // Both user hives live in the user's store file; the machine hive did not make one.
  EXPECT_TRUE(std::filesystem::exists(sandbox.UserStore()));
  EXPECT_FALSE(std::filesystem::exists(sandbox.MachineStore()));
#endif
}

#ifndef _WIN32
// Store files, XDG folders and the install tree's store are how Linux stands in for the
// registry; Windows has the registry itself, so these have no counterpart there.

// Writes one machine value straight into a store file, as the install step does.
void PutMachineValue(const std::string& configDir, const std::string& name, const std::string& text) {
  auto store = TRegistryStore::Open(configDir + "/velquin-reader/registry.sqlite3", true);
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->CreateKey(THive::LocalMachine, "SOFTWARE\\Test"));
  ASSERT_TRUE(store->SetValue(THive::LocalMachine, "SOFTWARE\\Test", name, {REG_SZ, text + '\0'}));
}

TEST(RegistryHives, MachineValuesComeFromConfigDirsThenBesideTheExecutable) {
  TXdgSandbox sandbox;
  TTempDir tree;  // an installed tree: bin/ and etc/xdg/
  std::filesystem::create_directories(tree / "bin");
  const std::string first = sandbox.MachineDir();
  const std::string second = sandbox.Path() + "/etc2";
  for (const char* name : {"A", "B", "C"}) PutMachineValue(tree / "etc/xdg", name, "beside");
  for (const char* name : {"A", "B"}) PutMachineValue(second, name, "second");
  PutMachineValue(first, "A", "first");
  sandbox.Set("XDG_CONFIG_DIRS", first + ":relative/ignored:" + second);
  SetExecutableFolderForStores(tree / "bin");

  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\SOFTWARE\\Test"));
  EXPECT_EQ(reg.ReadString("A"), "first");
  EXPECT_EQ(reg.ReadString("B"), "second");
  EXPECT_EQ(reg.ReadString("C"), "beside");

  // A key opened for reading refuses writes; opened fully, writes go to the first folder
  // of XDG_CONFIG_DIRS.
  EXPECT_EQ(MessageOf([&] { reg.WriteString("D", "x"); }), "Failed to set data for 'D'");
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Test", false));
  reg.WriteString("D", "written");
  TRegistry reader;
  reader.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reader.OpenKey("\\SOFTWARE\\Test", false));
  EXPECT_EQ(reader.ReadString("D"), "written");
  auto firstStore = TRegistryStore::Open(first + "/velquin-reader/registry.sqlite3", false);
  ASSERT_TRUE(firstStore);
  EXPECT_TRUE(firstStore->GetValue(THive::LocalMachine, "SOFTWARE\\Test", "D"));

  // Without the executable's tree, its store is not consulted.
  SetExecutableFolderForStores(std::string());
  TRegistry without;
  without.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(without.OpenKey("\\SOFTWARE\\Test", false));
  EXPECT_FALSE(without.ValueExists("C"));
}

#endif

class TFakeProvider : public IClassesRootProvider {
public:
  bool KeyExists(const std::string& keyPath) override {
    return keyPath == ".pdf" || keyPath == "application/pdf";
  }
  std::optional<std::string> ReadString(const std::string& keyPath, const std::string& name) override {
    if (!name.empty()) return std::nullopt;
    if (keyPath == ".pdf") return "application/pdf";
    if (keyPath == "application/pdf") return "PDF document";
    return std::nullopt;
  }
};

TEST(RegistryClassesRoot, ReadsTheStoreCannotAnswerGoToTheProvider) {
  TXdgSandbox sandbox;
  SetClassesRootProvider(std::make_shared<TFakeProvider>());
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_TRUE(reg.KeyExists(".pdf"));
    EXPECT_FALSE(reg.KeyExists(".xyz"));
    // The provider's keys are not stored ones.
    EXPECT_FALSE(reg.StoredKeyExists(".pdf"));
    ASSERT_TRUE(reg.OpenKeyReadOnly("application/pdf"));
    EXPECT_EQ(reg.ReadString(""), "PDF document");
    EXPECT_EQ(reg.GetData("")->Type, REG_SZ);
    EXPECT_EQ(MessageOf([&] { reg.ReadInteger(""); }), "Failed to get data for ''");

    // The user's own classes come first.
    ASSERT_TRUE(reg.OpenKey("\\.pdf", true));
    EXPECT_EQ(reg.ReadString(""), "application/pdf");
    reg.WriteString("", "Mine.Pdf");
    EXPECT_EQ(reg.ReadString(""), "Mine.Pdf");
    EXPECT_TRUE(reg.StoredKeyExists("\\.pdf"));

    // Only HKEY_CLASSES_ROOT asks the provider.
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.KeyExists(".pdf"));
  }
  SetClassesRootProvider(nullptr);
  TRegistry reg;
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  EXPECT_FALSE(reg.KeyExists("application/pdf"));
}

#ifndef _WIN32
// Queries are prepared once per store and reused: a reused query must leave no read open
// behind it (another connection's write would then wait on the lock and fail, or this one
// would keep reading an old snapshot), and must not carry the last call's arguments.
TEST(RegistryStoreFile, ReusedQueriesSeeOtherWritersAndTheirOwnArguments) {
  TTempDir dir;
  const std::string path = dir.Path() + "/store.sqlite3";
  auto reader = TRegistryStore::Open(path, true);
  auto writer = TRegistryStore::Open(path, true);
  ASSERT_TRUE(reader && writer);
  ASSERT_TRUE(writer->CreateKey(THive::CurrentUser, "Software\\A\\B"));
  ASSERT_TRUE(writer->SetValue(THive::CurrentUser, "Software\\A", "x", {4, "1"}));
  for (int round = 0; round < 3; ++round) {
    const std::string data = std::to_string(round);
    ASSERT_TRUE(writer->SetValue(THive::CurrentUser, "Software\\A", "x", {4, data})) << round;
    const auto seen = reader->GetValue(THive::CurrentUser, "Software\\A", "x");
    ASSERT_TRUE(seen) << round;
    EXPECT_EQ(seen->Data, data);
    // The reader's last query ran to its row only; the writer must still get the lock.
    EXPECT_TRUE(writer->SetValue(THive::CurrentUser, "Software\\A", "y", {1, data})) << round;
  }
  // The same query with other arguments, a miss after a hit, and a key after a miss.
  EXPECT_FALSE(reader->GetValue(THive::CurrentUser, "Software\\A", "missing"));
  EXPECT_EQ(reader->GetValue(THive::CurrentUser, "Software\\A", "y")->Data, "2");
  EXPECT_FALSE(reader->KeyExists(THive::CurrentUser, "Software\\Missing"));
  EXPECT_TRUE(reader->KeyExists(THive::CurrentUser, "Software\\A\\B"));
  EXPECT_EQ(reader->ValueNames(THive::CurrentUser, "Software\\A"), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(reader->SubKeyNames(THive::CurrentUser, "Software"), std::vector<std::string>{"A"});
  EXPECT_EQ(reader->SubKeyNames(THive::CurrentUser, ""), std::vector<std::string>{"Software"});
  EXPECT_TRUE(reader->DeleteValue(THive::CurrentUser, "Software\\A", "y"));
  EXPECT_FALSE(reader->DeleteValue(THive::CurrentUser, "Software\\A", "y"));
  // A store closes with its prepared queries: the file is free for a writer at once.
  reader.reset();
  EXPECT_TRUE(writer->DeleteKey(THive::CurrentUser, "Software\\A"));
  EXPECT_FALSE(writer->KeyExists(THive::CurrentUser, "Software\\A\\B"));
}

TEST(RegistryStoreFile, ADamagedFileIsKeptAsideAndReplaced) {
  TXdgSandbox sandbox;
  std::filesystem::create_directories(sandbox.ConfigHome() + "/velquin-reader");
  const std::string garbage(4096, 'x');
  std::ofstream(sandbox.UserStore(), std::ios::binary) << garbage;

  TakeStoreNotices();
  testing::internal::CaptureStderr();
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\After", true));
    reg.WriteInteger("Works", 1);
    EXPECT_EQ(reg.ReadInteger("Works"), 1);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the store layer never prints
  const std::vector<std::string> notices = TakeStoreNotices();

  std::vector<std::string> aside;
  for (const auto& e : std::filesystem::directory_iterator(sandbox.ConfigHome() + "/velquin-reader"))
    if (e.path().filename().string().rfind("registry.sqlite3.corrupt-", 0) == 0)
      aside.push_back(e.path().string());
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(ReadFileBytes(aside[0]), garbage);  // the old file is kept as it was
  // One notice for the window, naming the kept copy.
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find(aside[0]), std::string::npos) << notices[0];

  // The fresh store is a good one: a second object opens it without another notice.
  TRegistry again;
  EXPECT_TRUE(again.OpenKey("\\Software\\After", false));
  EXPECT_TRUE(TakeStoreNotices().empty());
}

TEST(RegistryStoreFile, AnUnwritableConfigHomeReadsAsEmptyAndRefusesWrites) {
  TXdgSandbox sandbox;
  // A file where a folder should be: not even root can create the store below it.
  std::ofstream(sandbox.Path() + "/plainfile") << "x";
  sandbox.Set("XDG_CONFIG_HOME", sandbox.Path() + "/plainfile/config");
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("\\Software\\X", true));
  EXPECT_FALSE(reg.KeyExists("\\Software"));
  EXPECT_EQ(MessageOf([&] { reg.WriteInteger("v", 1); }), "Failed to set data for 'v'");
  const std::vector<std::string> notices = TakeStoreNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("cannot be saved in " + sandbox.Path() + "/plainfile/config"), std::string::npos);
}

#endif

}  // namespace

#ifndef _WIN32
// The store file is Linux's; Windows keeps the values in its registry.
TEST(RegistryStoreFile, RegistriesOfAThreadShareTheOpenStoreOnlyWhileOneHoldsIt) {
  TXdgSandbox sandbox;
  {
    TRegistry first;
    ASSERT_TRUE(first.OpenKey("\\Software\\Shared", true));
    first.WriteString("Value", "one");
    TRegistry second;
    ASSERT_TRUE(second.OpenKey("\\Software\\Shared", false));
    EXPECT_EQ(second.ReadString("Value"), "one");
    second.WriteString("Value", "two");
    EXPECT_EQ(first.ReadString("Value"), "two");
    // Another root of the same file, as the file association uses it.
    TRegistry classes;
    classes.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(classes.OpenKey("\\.shared", true));
    classes.WriteString("", "Shared.Class");
    EXPECT_TRUE(classes.StoredKeyExists("\\.shared"));
    EXPECT_FALSE(first.KeyExists("\\.shared"));
  }
  // With every holder gone the connection is closed: a store removed meanwhile comes back
  // empty rather than being read through a connection to the removed file.
  ASSERT_TRUE(std::filesystem::remove(sandbox.UserStore()));
  TRegistry later;
  EXPECT_FALSE(later.KeyExists("\\Software\\Shared"));
  ASSERT_TRUE(later.OpenKey("\\Software\\Later", true));
  later.WriteInteger("Works", 1);
  EXPECT_TRUE(std::filesystem::exists(sandbox.UserStore()));
}
#endif
