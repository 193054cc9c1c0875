// velquin-tnef over mails and mailboxes: list-mail numbers the TNEF parts, --part picks one,
// show leads with the mail's headers, list and extract include the mail's other files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "FileCopy.h"
#include "MailBuilder.h"
#include "TempDir.h"
#include "TnefBuilder.h"
#include "TnefTool.h"
#include "ToolRun.h"

using namespace tb;

namespace {

const std::string kDate = "Mon, 13 Nov 2017 08:01:13 -0500";

std::string Tnef(const std::string& subject) {
  TnefBuilder b;
  b.CodePage(1252).Subject(subject).MsgProps(PropBlock().Binary(0x1009, Lzfu("{\\rtf1 body}")));
  b.Attachment("inner.txt", "INNER");
  return b.Bytes();
}

std::string Write(const TTempDir& dir, const std::string& name, const std::string& bytes) {
  const std::string path = dir / name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// Two TNEF parts in one mail, beside a named file.
std::string TwoPartMail(const TTempDir& dir) {
  return Write(dir, "two.eml",
               Mail("Ann <ann@example.org>", "Bob <bob@example.org>", "Two", kDate,
                    Multipart("mixed", "b",
                              {TnefPart(Tnef("First"), "base64", "winmail.dat"),
                               FilePart("a/../photo.png", "image/png", "PNG"),
                               TnefPart(Tnef("Second"), "quoted-printable", "")})));
}

}  // namespace

TEST(MailTool, ListMailNumbersThePartsAndPartPicksOne) {
  TTempDir dir;
  const std::string mail = TwoPartMail(dir);
  const TRun lines = RunTool({"list-mail", mail});
  EXPECT_EQ(lines.Status, 0);
  EXPECT_EQ(lines.Out,
            "1\tTwo (1/2)\tAnn <ann@example.org>\t2017-11-13 08:01:13 -0500\n"
            "2\tTwo (2/2)\tAnn <ann@example.org>\t2017-11-13 08:01:13 -0500\n");

  const TRun ambiguous = RunTool({"show", mail});
  EXPECT_EQ(ambiguous.Status, 1);
  EXPECT_NE(ambiguous.Err.find("--part N"), std::string::npos) << ambiguous.Err;
  const TRun missing = RunTool({"show", mail, "--part", "3"});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Err.find("no part 3"), std::string::npos) << missing.Err;
  EXPECT_EQ(RunTool({"show", mail, "--part", "0"}).Status, 2);

  const TRun second = RunTool({"show", mail, "--part", "2"});
  EXPECT_EQ(second.Status, 0) << second.Err;
  EXPECT_EQ(second.Out.substr(0, second.Out.find("\nSubject: ") + 1),
            "Mail part: 2 of 2\n"
            "Mail From: Ann <ann@example.org>\n"
            "Mail To: Bob <bob@example.org>\n"
            "Mail Cc: \n"
            "Mail Date: 2017-11-13 08:01:13 -0500\n"
            "Mail Subject: Two\n");
  EXPECT_NE(second.Out.find("Subject: Second\nFrom: Ann <ann@example.org>\nTo: Bob <bob@example.org>\n"),
            std::string::npos)
      << second.Out;
}

TEST(MailTool, ListAndExtractIncludeTheMailsOtherFiles) {
  TTempDir dir;
  const std::string mail = TwoPartMail(dir);
  EXPECT_EQ(RunTool({"list", mail, "--part", "1"}).Out, "5\tinner.txt\n3\ta/../photo.png\n");
  const std::string out = dir / "out";
  std::filesystem::create_directory(out);
  const TRun saved = RunTool({"extract", mail, out, "--part", "1"});
  EXPECT_EQ(saved.Status, 0) << saved.Err;
  EXPECT_EQ(ReadFileBytes(out + "/inner.txt"), "INNER");
  // The mail's names are cleaned like the stream's: nothing lands outside the folder.
  EXPECT_EQ(ReadFileBytes(dir / "photo.png"), "");
  EXPECT_NE(saved.Out.find("3 files saved"), std::string::npos) << saved.Out;
}

TEST(MailTool, MailboxFromStandardInput) {
  const std::string box = Mbox({Mail("a@example.org", "x@example.org", "One", kDate, TnefPart(Tnef("T1"), "base64", "winmail.dat")),
                                Mail("b@example.org", "x@example.org", "Two", kDate, TnefPart(Tnef("T2"), "base64", "winmail.dat"))});
  std::istringstream in(box);
  std::ostringstream out, err;
  EXPECT_EQ(RunTnefTool({"list-mail", "--json", "-"}, in, out, err), 0) << err.str();
  EXPECT_EQ(out.str(),
            "{\"parts\":[{\"part\":1,\"subject\":\"One\",\"from\":\"a@example.org\",\"date\":\"2017-11-13 08:01:13 -0500\"},"
            "{\"part\":2,\"subject\":\"Two\",\"from\":\"b@example.org\",\"date\":\"2017-11-13 08:01:13 -0500\"}]}\n");
}
