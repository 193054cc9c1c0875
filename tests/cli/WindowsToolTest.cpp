// What velquin-tnef.exe does with Windows names: mails, mailboxes and bare TNEF streams
// under names outside ASCII, calendar items as iCalendar, and no scratch file left behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MailBuilder.h"
#include "TempDir.h"
#include "TempFolder.h"
#include "TnefBuilder.h"
#include "ToolRun.h"

using namespace tb;

namespace {

// A UTF-8 name as the file system's UTF-16 one.
std::filesystem::path Native(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string WriteText(const std::string& path, const std::string& text) {
  std::ofstream(Native(path), std::ios::binary) << text;
  return path;
}

// The entries of the temporary folder that are named as this process's (the folder is
// shared: other programs of ours come and go there meanwhile).
int OwnTempEntries() {
  const std::string own = std::string(TPrivateTempFolder::kNamePrefix) + std::to_string(::GetCurrentProcessId()) + "-";
  const std::u8string prefix(own.begin(), own.end());
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Native(TPrivateTempFolder::SystemTempDir()))) {
    const std::u8string name = entry.path().filename().u8string();
    if (name.rfind(prefix, 0) == 0) ++count;
  }
  return count;
}

}  // namespace

// The parser reads the file through its UTF-16 name and in binary mode (a "\r" added to
// each line would break base64 and the stream's checksums); the TNEF part goes through a
// scratch file that deletes itself once the reader is done.
TEST(WindowsTool, MailsAndMailboxesUnderNonAsciiNames) {
  TTempDir dir;
  TnefBuilder tnef;
  tnef.Subject("Inside").Attachment("Anhang.txt", "line one\nline two\n");
  const std::string bytes = tnef.Bytes();
  const std::string mail = Mail("a@x.org", "b@x.org", "Carrier", "Tue, 5 Mar 2024 09:07:01 +0000",
                                TnefPart(bytes, "base64", "winmail.dat"));
  const int before = OwnTempEntries();
  for (const std::string& path : {WriteText(dir / "Brief-日本語.eml", mail),
                                  WriteText(dir / "Postfach-ñ.mbox", Mbox({mail, mail}))}) {
    const bool box = path.find(".mbox") != std::string::npos;
    const TRun parts = RunTool({"list-mail", path});
    EXPECT_EQ(parts.Status, 0) << parts.Err;
    EXPECT_EQ(std::count(parts.Out.begin(), parts.Out.end(), '\n'), box ? 2 : 1) << parts.Out;
    const std::vector<std::string> part = box ? std::vector<std::string>{"--part", "2"} : std::vector<std::string>{};
    std::vector<std::string> show = {"show", path};
    show.insert(show.end(), part.begin(), part.end());
    const TRun shown = RunTool(show);
    EXPECT_EQ(shown.Status, 0) << shown.Err;
    EXPECT_NE(shown.Out.find("Subject: Inside\n"), std::string::npos) << shown.Out;

    const std::string out = dir / (box ? "Ordner-ß" : "Ordner-ü");
    std::filesystem::create_directory(Native(out));
    std::vector<std::string> extract = {"extract", path, out};
    extract.insert(extract.end(), part.begin(), part.end());
    const TRun saved = RunTool(extract);
    EXPECT_EQ(saved.Status, 0) << saved.Err;
    EXPECT_EQ(ReadFileBytes(out + "/Anhang.txt"), "line one\nline two\n") << path;
  }
  EXPECT_EQ(OwnTempEntries(), before);
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
