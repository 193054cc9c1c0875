// The built velquin-tnef run as a program: it starts without GMime and libical, loads them
// with the mail module beside its bin/ when a mail or an iCalendar file asks for them, and
// without that module still reads bare TNEF while a mail is refused with a message that
// names the module.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "MailBuilder.h"
#include "TempDir.h"
#include "TnefBuilder.h"

namespace {

struct TRun {
  int Status = -1;
  std::string Output;  // standard output and error together
};

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

TRun RunCommand(const std::string& command) {
  TRun run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.Output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class ToolModule : public ::testing::Test {
protected:
  void SetUp() override {
    tb::TnefBuilder inner;
    inner.Subject("Carried in a mail");
    Bare = Dir / "bare.dat";
    tb::TnefBuilder bare;
    bare.Subject("A bare stream");
    bare.WriteTo(Bare);
    MailPath = Dir / "mail.eml";
    std::ofstream(MailPath, std::ios::binary)
        << tb::Mail("a@example.org", "b@example.org", "The mail", "Mon, 13 Nov 2017 08:01:13 -0500",
                    tb::Multipart("mixed", "b", {tb::TnefPart(inner.Bytes(), "base64", "winmail.dat")}));
  }
  TTempDir Dir;
  std::string Bare, MailPath;
};

TEST_F(ToolModule, StartsWithoutTheMailLibrariesAndLoadsThemForAMail) {
  // What the dynamic loader would bind at the start, without running the program.
  const TRun needed = RunCommand("LD_TRACE_LOADED_OBJECTS=1 " + Quoted(VELQUIN_TNEF_TOOL));
  ASSERT_EQ(needed.Status, 0) << needed.Output;
  for (const char* library : {"libgmime", "libglib", "libical", "libicu"})
    EXPECT_EQ(needed.Output.find(library), std::string::npos) << library << " in\n" << needed.Output;

  const TRun list = RunCommand(Quoted(VELQUIN_TNEF_TOOL) + " list-mail " + Quoted(MailPath));
  EXPECT_EQ(list.Status, 0) << list.Output;
  EXPECT_NE(list.Output.find("The mail"), std::string::npos) << list.Output;
}

TEST_F(ToolModule, WithoutTheModuleBareTnefIsReadAndAMailRefused) {
  // A copy of the tool in a bin/ with no lib/velquin-reader beside it.
  std::filesystem::create_directories(Dir / "alone/bin");
  const std::string tool = Dir / "alone/bin/velquin-tnef";
  std::filesystem::copy_file(VELQUIN_TNEF_TOOL, tool);

  const TRun bare = RunCommand(Quoted(tool) + " show " + Quoted(Bare));
  EXPECT_EQ(bare.Status, 0) << bare.Output;
  EXPECT_NE(bare.Output.find("A bare stream"), std::string::npos) << bare.Output;

  const TRun mail = RunCommand(Quoted(tool) + " list-mail " + Quoted(MailPath));
  EXPECT_EQ(mail.Status, 1) << mail.Output;
  EXPECT_NE(mail.Output.find("need the mail module " + (Dir / "alone") + "/"), std::string::npos) << mail.Output;
  EXPECT_NE(mail.Output.find("libvelquin-mail-module.so, which could not be loaded"), std::string::npos)
      << mail.Output;
}

}  // namespace
