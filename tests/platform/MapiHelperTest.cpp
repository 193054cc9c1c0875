// TMapiHelper::GetMapi32Path: the two machine values it reads and what it makes of them.

#include <gtest/gtest.h>

#include "MapiHelper.h"
#include "Registry.h"
#include "TNEFReaderClass.h"
#include "TnefBuilder.h"
#include "XdgSandbox.h"

namespace {

const char* const kSubsystem = "\\SOFTWARE\\Microsoft\\Windows Messaging Subsystem";
const char* const kClient = "\\SOFTWARE\\Clients\\Mail\\Microsoft Outlook";

void PutMachine(const char* key, const std::string& name, std::uint32_t type, const std::string& data) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(key, true));
  reg.WriteData(name, type, data);
}

TEST(MapiHelper, TheInstalledTestTakesOnlyTheString1) {
  TXdgSandbox sandbox;
  EXPECT_EQ(TMapiHelper::GetMapi32Path(), "");  // no key at all

  struct {
    std::uint32_t Type;
    std::string Data;
    bool Installed;
  } const cases[] = {
      {REG_SZ, std::string("1\0", 2), true},
      {REG_BINARY, "1", true},  // the type is not looked at
      {REG_SZ, std::string("0\0", 2), false},
      {REG_SZ, std::string("12345678\0", 9), false},
      {REG_SZ, std::string("1\0" "2345678", 9), true},  // fits the buffer, "1" up to the NUL
      {REG_SZ, std::string("1\0" "23456789", 10), false},  // longer than the 9-byte buffer
      {REG_DWORD, std::string("\x01\0\0\0", 4), false},
  };
  for (const auto& c : cases) {
    PutMachine(kSubsystem, "MAPI", c.Type, c.Data);
    EXPECT_EQ(TMapiHelper::GetMapi32Path(), c.Installed ? "Mapi32.dll" : "") << c.Data.size();
  }
}

TEST(MapiHelper, TheLibraryPathComesFromDllPathEx) {
  TXdgSandbox sandbox;
  PutMachine(kSubsystem, "MAPI", REG_SZ, std::string("1\0", 2));
  EXPECT_EQ(TMapiHelper::GetMapi32Path(), "Mapi32.dll");  // installed, no client key
  PutMachine(kClient, "Other", REG_SZ, std::string("x\0", 2));
  EXPECT_EQ(TMapiHelper::GetMapi32Path(), "Mapi32.dll");  // no value
  PutMachine(kClient, "DLLPathEx", REG_SZ, std::string("\0", 1));
  EXPECT_EQ(TMapiHelper::GetMapi32Path(), "Mapi32.dll");  // empty
  PutMachine(kClient, "DLLPathEx", REG_EXPAND_SZ, std::string("/opt/mail/libmapi.so\0junk", 25));
  EXPECT_EQ(TMapiHelper::GetMapi32Path(), "/opt/mail/libmapi.so");
  PutMachine(kClient, "DLLPathEx", REG_SZ, std::string(5000, 'a'));
  EXPECT_EQ(TMapiHelper::GetMapi32Path(), "Mapi32.dll");  // longer than its buffer
}

TEST(MapiHelper, TheUsersChoiceThenAMachinePathWithAFolderThenOurOwnLibrary) {
  TXdgSandbox sandbox;
  const std::string file = sandbox.Path() + "/winmail.dat";
  tb::TnefBuilder().Subject("s").WriteTo(file);
  // No MAPI and no library of ours beside this test program: no library at all, never a
  // bare name the loader would search for.
  EXPECT_EQ(TTNEFReader(file, "").Mapi32Path(), "");
  PutMachine(kSubsystem, "MAPI", REG_SZ, std::string("1\0", 2));
  // Installed, but only the bare default: nothing better is found, and the bare name is
  // refused when loading (the message says why).
  EXPECT_EQ(TMapiHelper::ResolveMapi32Path(""), "Mapi32.dll");
  PutMachine(kClient, "DLLPathEx", REG_SZ, std::string("/opt/mail/libmapi.so\0", 21));
  EXPECT_EQ(TMapiHelper::ResolveMapi32Path(""), "/opt/mail/libmapi.so");
  EXPECT_EQ(TMapiHelper::ResolveMapi32Path("/chosen.so"), "/chosen.so");
  TTNEFReader reader(file, "");
  EXPECT_EQ(reader.Mapi32Path(), "/opt/mail/libmapi.so");
  TTNEFReader configured(file, "/configured/lib.so");
  EXPECT_EQ(configured.Mapi32Path(), "/configured/lib.so");
}

}  // namespace
