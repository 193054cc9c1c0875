// The application options: first construction, the six values, and the .dat association in
// the registry and on the desktop.

#include <gtest/gtest.h>

#include "ErrorMessage.h"

#include <filesystem>
#include <fstream>

#include "DesktopAssociation.h"
#include "ExecutablePath.h"
#include "TempDir.h"
#include "VelquinReaderOptions.h"
#include "XdgSandbox.h"

namespace {

std::string OptionsKey() { return "\\" + TQvConfigClass::DefaultKeyPath(ExecutablePath()); }

// Every key and value below a root, one line each, for comparing whole trees.
void Dump(TRegistry& reg, const std::string& path, std::string& out) {
  if (!reg.OpenKey("\\" + path, false)) return;
  out += "[" + path + "]\n";
  for (const std::string& name : reg.GetValueNames()) {
    const auto v = reg.GetData(name);
    out += name + "=" + std::to_string(v->Type) + ":" + v->Data + "\n";
  }
  for (const std::string& sub : reg.GetKeyNames()) Dump(reg, path.empty() ? sub : path + "\\" + sub, out);
}

std::string ClassesRootDump() {
  TRegistry reg;
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  std::string out;
  Dump(reg, "", out);
  return out;
}

#ifndef _WIN32
// The desktop's own association files; Windows has none.
std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
#endif

void Put(TRootKey root, const std::string& key, const std::string& name, const std::string& text) {
  TRegistry reg;
  reg.SetRootKey(root);
  ASSERT_TRUE(reg.OpenKey(key, true));
  reg.WriteString(name, text);
}

// Nothing is stored until the user sets something: a library path worked out from the
// system and pinned in the user's store would outlive the file it named.
TEST(Options, FirstConstructionStoresNothing) {
  TXdgSandbox sandbox;
  {
    TVelquinReaderOptions options;
    EXPECT_FALSE(options.AssociateTNEFOnThunderbird());
    EXPECT_FALSE(options.AssociateDatFiles());
    EXPECT_FALSE(options.HasShowedOptions());
    EXPECT_EQ(options.Language(), 0);
    EXPECT_EQ(options.LastSaveAllDirectory(), "");
    EXPECT_EQ(options.Mapi32Path(), "");
  }
  TRegistry reg;
  if (reg.OpenKey(OptionsKey(), false)) {
    EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{});
  }
}

TEST(Options, TheLibraryInUseIsWorkedOutAtEachStartUnlessTheUserChoseOne) {
  TXdgSandbox sandbox;
  Put(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPI", "1");
  Put(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Clients\\Mail\\Microsoft Outlook", "DLLPathEx", "/lib/mail.so");
  EXPECT_EQ(TVelquinReaderOptions().EffectiveMapi32Path(), "/lib/mail.so");
  Put(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Clients\\Mail\\Microsoft Outlook", "DLLPathEx", "/lib/moved.so");
  EXPECT_EQ(TVelquinReaderOptions().EffectiveMapi32Path(), "/lib/moved.so");  // nothing pinned

  Put(HKEY_CURRENT_USER, OptionsKey(), "Mapi32Path", "/chosen/by/user.so");
  EXPECT_EQ(TVelquinReaderOptions().EffectiveMapi32Path(), "/chosen/by/user.so");
  Put(HKEY_CURRENT_USER, OptionsKey(), "Mapi32Path", "");  // cleared in the dialog
  EXPECT_EQ(TVelquinReaderOptions().EffectiveMapi32Path(), "/lib/moved.so");
}

TEST(Options, EachOptionIsOneValueOfItsType) {
  TXdgSandbox sandbox;
  TRegistry reg;
  {
    TVelquinReaderOptions options;
    ASSERT_TRUE(reg.OpenKey(OptionsKey(), false));
    options.SetAssociateDatFiles(false);
    EXPECT_FALSE(reg.ValueExists("AssociateDatFiles"));  // unchanged: nothing written
    options.SetAssociateDatFiles(true);
    options.SetAssociateDatFiles(false);
    EXPECT_EQ(reg.ReadInteger("AssociateDatFiles"), 0);  // no default: written as 0
    options.SetHasShowedOptions(true);
    options.SetLanguage(2);
    options.SetLastSaveAllDirectory("/home/u/Saved");
  }
  EXPECT_EQ(reg.ReadInteger("HasShowedOptions"), 1);
  EXPECT_EQ(reg.ReadInteger("Language"), 2);
  EXPECT_EQ(reg.GetData("LastSaveAllDirectory")->Type, REG_SZ);
  reg.WriteInteger("AssociateTNEFOnThunderbird", 1);
  reg.WriteInteger("Language", 7);  // hand-edited: kept as is, the language table maps it
  TVelquinReaderOptions again;
  EXPECT_TRUE(again.AssociateTNEFOnThunderbird());
  EXPECT_TRUE(again.HasShowedOptions());
  EXPECT_EQ(again.Language(), 7);
  EXPECT_EQ(again.LastSaveAllDirectory(), "/home/u/Saved");
}

TEST(Options, ApplyingTheAssociationWritesTheFourKeysAndTheDesktopEntry) {
  TXdgSandbox sandbox;
  sandbox.HideSystemData();
  Put(HKEY_CLASSES_ROOT, "\\.dat", "NoOpen", "Do not open");
  TVelquinReaderOptions options;
  options.SetAssociateDatFiles(true);
  options.ApplyDatAssociation();

  const std::string exe = ExecutablePath();
  TRegistry reg;
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey("\\.dat", false));
  EXPECT_EQ(reg.ReadString(""), "VelquinReader.DatFile");
  EXPECT_FALSE(reg.ValueExists("NoOpen"));
  ASSERT_TRUE(reg.OpenKey("\\VelquinReader.DatFile", false));
  EXPECT_EQ(reg.ReadString(""), "TNEF File Attachment");
  ASSERT_TRUE(reg.OpenKey("\\VelquinReader.DatFile\\DefaultIcon", false));
  EXPECT_EQ(reg.ReadString(""), exe + ",0");
  ASSERT_TRUE(reg.OpenKey("\\VelquinReader.DatFile\\shell\\open\\command", false));
  EXPECT_EQ(reg.ReadString(""), exe + " %1");

#ifndef _WIN32
  // The desktop's own association exists on Linux only.
  const std::string entry = ReadText(sandbox.DataHome() + "/applications/velquin-reader.desktop");
  EXPECT_NE(entry.find("\nExec=" + DesktopExecArgument(exe) + " %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=application/vnd.ms-tnef;\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=io.github.velquin.Reader\n"), std::string::npos);
  EXPECT_EQ(FirstDefaultHandler(ReadText(sandbox.ConfigHome() + "/mimeapps.list"), kTnefMimeType),
            "velquin-reader.desktop");
#endif

  // Twice is the same as once.
  const std::string once = ClassesRootDump();
  options.RegisterDatAssociation();
  EXPECT_EQ(ClassesRootDump(), once);
#ifndef _WIN32
  const std::string mimeapps = ReadText(sandbox.ConfigHome() + "/mimeapps.list");
  options.RegisterDatAssociation();
  EXPECT_EQ(ReadText(sandbox.ConfigHome() + "/mimeapps.list"), mimeapps);
#endif
}

#ifndef _WIN32
// The rest is about the desktop's mimeapps.list and entries, and about a store folder that
// cannot be made, which have no counterpart on Windows.

TEST(Options, RemovingTheAssociationTakesAwayOnlyWhatNamesUs) {
  TXdgSandbox sandbox;
  sandbox.HideSystemData();
  const std::string mimeappsPath = sandbox.ConfigHome() + "/mimeapps.list";
  const std::string prepared =
      "# edited by hand\n"
      "[Added Associations]\n"
      "application/vnd.ms-tnef=other-viewer.desktop;\n"
      "\n"
      "[Default Applications]\n"
      "text/plain=editor.desktop\n"
      "application/vnd.ms-tnef = other-viewer.desktop\n"
      "image/png=viewer.desktop;\n";
  std::filesystem::create_directories(sandbox.ConfigHome());
  std::ofstream(mimeappsPath, std::ios::binary) << prepared;
  Put(HKEY_CLASSES_ROOT, "\\.dat", "Content Type", "application/octet-stream");

  TVelquinReaderOptions options;
  options.SetAssociateDatFiles(true);
  options.ApplyDatAssociation();
  EXPECT_EQ(FirstDefaultHandler(ReadText(mimeappsPath), kTnefMimeType), "velquin-reader.desktop")
      << ReadText(mimeappsPath);

  options.SetAssociateDatFiles(false);
  options.ApplyDatAssociation();
  EXPECT_EQ(ReadText(mimeappsPath), prepared);  // byte for byte
  EXPECT_FALSE(std::filesystem::exists(sandbox.DataHome() + "/applications/velquin-reader.desktop"));
  TRegistry reg;
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  EXPECT_FALSE(reg.KeyExists("VelquinReader.DatFile"));
  ASSERT_TRUE(reg.OpenKey(".dat", false));  // it has a value of someone else's
  EXPECT_FALSE(reg.ValueExists(""));
  EXPECT_EQ(reg.ReadString("Content Type"), "application/octet-stream");

  // Another program's association and files of our name that we did not write survive.
  reg.WriteString("", "Other.DatFile");
  std::filesystem::create_directories(sandbox.DataHome() + "/applications");
  std::ofstream(sandbox.DataHome() + "/applications/velquin-reader.desktop") << "[Desktop Entry]\nName=Mine\n";
  options.UnregisterDatAssociation();
  EXPECT_EQ(reg.ReadString(""), "Other.DatFile");
  EXPECT_TRUE(std::filesystem::exists(sandbox.DataHome() + "/applications/velquin-reader.desktop"));
  EXPECT_EQ(ReadText(mimeappsPath), prepared);

  // Removing where nothing was ever made is silent and makes nothing.
  TXdgSandbox fresh;
  TVelquinReaderOptions().UnregisterDatAssociation();
  EXPECT_FALSE(std::filesystem::exists(fresh.ConfigHome() + "/mimeapps.list"));
  EXPECT_EQ(ClassesRootDump(), "[]\n");
}

// Installed system-wide, the installed entry becomes the default and no entry of ours is
// written; with or without xdg-mime on PATH the outcome is the same.
TEST(Options, InstalledTheAssociationNamesTheInstalledEntry) {
  for (const bool withXdgMime : {true, false}) {
    TXdgSandbox sandbox;
    sandbox.HideSystemData();
    if (!withXdgMime) sandbox.Set("PATH", sandbox.Path());
    std::filesystem::create_directories(sandbox.SystemData() + "/applications");
    std::ofstream(sandbox.SystemData() + "/applications/io.github.velquin.Reader.desktop") << "[Desktop Entry]\n";
    // An entry of ours from before the installation goes.
    const std::string userEntry = sandbox.DataHome() + "/applications/velquin-reader.desktop";
    std::filesystem::create_directories(sandbox.DataHome() + "/applications");
    std::ofstream(userEntry) << DesktopEntryText("/old/velquin-reader");
    const std::string mimeappsPath = sandbox.ConfigHome() + "/mimeapps.list";
    std::filesystem::create_directories(sandbox.ConfigHome());
    std::ofstream(mimeappsPath) << "[Default Applications]\nimage/png=viewer.desktop;\n";

    TVelquinReaderOptions options;
    options.SetAssociateDatFiles(true);
    options.ApplyDatAssociation();
    const std::string registered = ReadText(mimeappsPath);
    EXPECT_EQ(FirstDefaultHandler(registered, kTnefMimeType), "io.github.velquin.Reader.desktop") << registered;
    EXPECT_EQ(FirstDefaultHandler(registered, "image/png"), "viewer.desktop") << registered;
    EXPECT_FALSE(std::filesystem::exists(userEntry)) << withXdgMime;

    options.SetAssociateDatFiles(false);
    options.ApplyDatAssociation();
    const std::string removed = ReadText(mimeappsPath);
    EXPECT_EQ(FirstDefaultHandler(removed, kTnefMimeType), "") << removed;
    EXPECT_EQ(FirstDefaultHandler(removed, "image/png"), "viewer.desktop") << removed;
  }
}

TEST(Options, WithoutTheRightToWriteRegisteringFailsWithOneMessage) {
  TXdgSandbox sandbox;
  std::ofstream(sandbox.Path() + "/plainfile") << "x";
  sandbox.Set("XDG_CONFIG_HOME", sandbox.Path() + "/plainfile/config");
  // The store cannot even be made: the options load as empty.
  TVelquinReaderOptions options;
  EXPECT_EQ(options.Mapi32Path(), "");
  EXPECT_EQ(MessageOf([&] { options.SetLanguage(1); }), "Failed to set data for 'Language'");
  EXPECT_EQ(MessageOf([&] { options.RegisterDatAssociation(); }),
            "Unexpected error associating dat files with this program. Please check if you have "
            "rights to change the Windows Registry");
  EXPECT_NO_THROW(options.UnregisterDatAssociation());

  // The desktop side failing alone is the same failure.
  TXdgSandbox writable;
  writable.HideSystemData();
  writable.Set("XDG_DATA_HOME", sandbox.Path() + "/plainfile/data");
  TVelquinReaderOptions second;
  EXPECT_EQ(MessageOf([&] { second.RegisterDatAssociation(); }).rfind("Unexpected error associating", 0), 0u);
  EXPECT_NO_THROW(second.UnregisterDatAssociation());
}

#endif

}  // namespace
