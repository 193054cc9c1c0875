// What velquin-tnef.exe does without the mail and calendar libraries: bare TNEF streams
// under any name, calendar items as iCalendar, and a plain refusal of mails and mailboxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "MailBuilder.h"
#include "TempDir.h"
#include "TnefBuilder.h"
#include "ToolRun.h"

using namespace tb;

namespace {

const std::string kNoMail =
    "This build does not read mail files (.eml, mbox): save the winmail.dat from the mail and open that";

// A UTF-8 name as the file system's UTF-16 one.
std::filesystem::path Native(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string WriteText(const std::string& path, const std::string& text) {
  std::ofstream(Native(path), std::ios::binary) << text;
  return path;
}

}  // namespace

TEST(WindowsTool, MailsAndMailboxesAreRefusedNotReadAsTnef) {
  TTempDir dir;
  const std::string bytes = TnefBuilder().Subject("Inside").Bytes();
  const std::string tnef = WriteText(dir / "inner.dat", bytes);
  const std::string mail = Mail("a@x.org", "b@x.org", "Carrier", "Tue, 5 Mar 2024 09:07:01 +0000",
                                TnefPart(bytes, "base64", "winmail.dat"));
  for (const std::string& path : {WriteText(dir / "one.eml", mail), WriteText(dir / "box.mbox", Mbox({mail}))}) {
    for (const char* command : {"show", "list", "list-mail", "extract"}) {
      const TRun r = RunTool({command, path});
      EXPECT_EQ(r.Status, 1) << command << " " << path;
      EXPECT_NE(r.Err.find(kNoMail), std::string::npos) << command << ": " << r.Err;
      EXPECT_EQ(r.Out, "") << command;
    }
  }
  // A bare stream is still read, and list-mail counts it as its one part.
  EXPECT_EQ(RunTool({"list-mail", tnef}).Status, 0);
}

TEST(WindowsTool, NonAsciiNamesAndICalendar) {
  TTempDir dir;
  const std::string path = WriteText(dir / "Prüfung-日本語.dat", TnefBuilder().Subject("Plan").Bytes());
  const TRun show = RunTool({"show", path});
  EXPECT_EQ(show.Status, 0) << show.Err;
  EXPECT_NE(show.Out.find("Subject: Plan\n"), std::string::npos);

  TnefBuilder meeting;
  meeting.Msg(0x00078008, std::string("IPM.Schedule.Meeting.Request") + '\0').Subject("Planning");
  const TRun ics = RunTool({"ics", WriteText(dir / "Besprechung-会议.dat", meeting.Bytes())});
  EXPECT_EQ(ics.Status, 0) << ics.Err;
  EXPECT_EQ(ics.Out.rfind("BEGIN:VCALENDAR\r\n", 0), 0u) << ics.Out;
  EXPECT_NE(ics.Out.find("METHOD:REQUEST\r\n"), std::string::npos) << ics.Out;
  EXPECT_NE(ics.Out.find("SUMMARY:Planning\r\n"), std::string::npos) << ics.Out;
}
