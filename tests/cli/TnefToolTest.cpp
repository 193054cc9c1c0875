#include <gtest/gtest.h>

#include <filesystem>

#include <sstream>
#include <string>

#include "FileCopy.h"
#include "TempDir.h"
#include "TnefBuilder.h"
#include "TnefTool.h"
#include "ToolRun.h"

using namespace tb;

namespace {

std::string Sample(const TTempDir& dir) {
  TnefBuilder b;
  b.CodePage(1252)
      .Subject("Quarterly r\xe9sum\xe9")
      .Msg(0x00038005, Date(2024, 3, 5, 9, 7, 1))
      .MsgProps(PropBlock().String8(0x0C1A, "Ann \"A\" Lee").Binary(0x1009, Lzfu("{\\rtf1 body}")));
  b.Attachment("image001.png", "PNG1").Attachment("image001.png", "PNG-two").Attachment("notes.txt", "");
  return b.WriteTo(dir / "sample.tnef");
}

}  // namespace

TEST(TnefTool, ShowPrintsTheMessageFacts) {
  TTempDir dir;
  const TRun r = RunTool({"show", Sample(dir)});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out,
            "Subject: Quarterly résumé\n"
            "From: Ann \"A\" Lee\n"
            "To: \n"
            "Cc: \n"
            "Class: \n"
            "Date sent: 2024-03-05 09:07:01\n"
            "Body: 12 bytes (rtf)\n"
            "Attachments: 3\n");
  const TRun json = RunTool({"show", "--json", Sample(dir)});
  EXPECT_EQ(json.Out,
            "{\"subject\":\"Quarterly résumé\",\"from\":\"Ann \\\"A\\\" Lee\",\"to\":null,\"cc\":null,"
            "\"class\":null,\"dateSent\":"
            "\"2024-03-05T09:07:01-00:00\",\"body\":{\"bytes\":12,\"kind\":\"rtf\"},\"calendar\":null,\"attachments\":"
            "[{\"size\":4,\"name\":\"image001.png\"},{\"size\":7,\"name\":\"image001.png\"},"
            "{\"size\":0,\"name\":\"notes.txt\"}]}\n");
  // What the file does not say is null, not an empty text.
  const std::string bare = TnefBuilder().WriteTo(dir / "bare.tnef");
  EXPECT_EQ(RunTool({"show", "--json", bare}).Out,
            "{\"subject\":null,\"from\":null,\"to\":null,\"cc\":null,\"class\":null,\"dateSent\":null,\"body\":{\"bytes\":0,\"kind\":"
            "\"none\"},\"calendar\":null,\"attachments\":[]}\n");
}

TEST(TnefTool, ListAndBody) {
  TTempDir dir;
  const std::string file = Sample(dir);
  EXPECT_EQ(RunTool({"list", file}).Out, "4\timage001.png\n7\timage001.png\n0\tnotes.txt\n");
  EXPECT_EQ(RunTool({"list", file, "--json"}).Out,
            "{\"attachments\":[{\"size\":4,\"name\":\"image001.png\"},{\"size\":7,\"name\":"
            "\"image001.png\"},{\"size\":0,\"name\":\"notes.txt\"}]}\n");
  EXPECT_EQ(RunTool({"body", file}).Out, "{\\rtf1 body}");

  TnefBuilder html;
  html.MsgProps(PropBlock().Binary(0x1013, "<html>hi</html>"));
  const std::string htmlFile = html.WriteTo(dir / "html.tnef");
  EXPECT_EQ(RunTool({"body", htmlFile}).Out, "<html>hi</html>");
  EXPECT_NE(RunTool({"show", htmlFile}).Out.find("Body: 15 bytes (html)\n"), std::string::npos);
  EXPECT_NE(RunTool({"show", dir / "html.tnef"}).Out.find("Date sent: \n"), std::string::npos);
}

TEST(TnefTool, ExtractNumbersRepeatedNamesAndKeepsExistingFiles) {
  TTempDir dir;
  const std::string file = Sample(dir);
  const std::string out = dir / "out";
  TRun r = RunTool({"extract", file, out});
  EXPECT_EQ(r.Status, 1);  // the folder does not exist
  std::filesystem::create_directory(out);
  r = RunTool({"extract", file, out});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "4 files saved\n");
  EXPECT_EQ(ReadFileBytes(out + "/Message text.rtf"), "{\\rtf1 body}");
  EXPECT_EQ(ReadFileBytes(out + "/image001.png"), "PNG1");
  EXPECT_EQ(ReadFileBytes(out + "/image001 (2).png"), "PNG-two");

  // Again: everything exists and is kept.
  WriteFileBytes(out + "/image001.png", "mine", 4);
  r = RunTool({"extract", file, out});
  EXPECT_EQ(r.Out, "0 files saved\n");
  EXPECT_NE(r.Err.find("Kept the existing file \"image001.png\""), std::string::npos);
  EXPECT_EQ(ReadFileBytes(out + "/image001.png"), "mine");

  r = RunTool({"extract", "--overwrite", file, out});
  EXPECT_EQ(r.Out, "4 files saved\n");
  EXPECT_EQ(ReadFileBytes(out + "/image001.png"), "PNG1");
}

// A file that cannot be written is reported and the rest are still saved.
TEST(TnefTool, ExtractGoesOnPastAFileItCannotWrite) {
  TTempDir dir;
  TnefBuilder b;
  b.Attachment("a.txt", "A").Attachment("b.txt", "B");
  const std::string file = b.WriteTo(dir / "two.tnef");
  const std::string out = dir / "o";
  std::filesystem::create_directory(out);
  std::filesystem::create_directory(out + "/a.txt");  // a folder stands where a.txt would go
  const TRun r = RunTool({"extract", "--overwrite", file, out});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("a.txt"), std::string::npos) << r.Err;
  EXPECT_EQ(r.Out, "2 files saved\n");
  EXPECT_EQ(ReadFileBytes(out + "/b.txt"), "B");
}

TEST(TnefTool, ExtractCountsOneFile) {
  TTempDir dir;
  const std::string file = TnefBuilder().WriteTo(dir / "empty.tnef");
  const std::string out = dir / "o";
  std::filesystem::create_directory(out);
  EXPECT_EQ(RunTool({"extract", file, out}).Out, "1 file saved\n");
}

TEST(TnefTool, ErrorsAndUsage) {
  TTempDir dir;
  WriteFileBytes(dir / "bad.dat", "not tnef", 8);
  TRun r = RunTool({"show", dir / "bad.dat"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err,
            "Error reading file bad.dat . Probably the file was corrupted during the transmition "
            "or it is not a valid TNEF file.\n\nError: Invalid file format\n");
  EXPECT_EQ(RunTool({"list", dir / "missing.dat"}).Status, 1);

  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"show"}, {"frobnicate", "x"}, {"show", "a", "b"}, {"body", "--json", "x"},
           {"list", "--overwrite", "x"}, {"show", "--bogus", "x"}}) {
    r = RunTool(args);
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("Usage: velquin-tnef"), std::string::npos);
  }
  r = RunTool({"--help"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_NE(r.Out.find("Usage:"), std::string::npos);
  r = RunTool({"--version"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out.rfind("velquin-tnef ", 0), 0u);
}

namespace {

// A stream whose every write fails, as standard output redirected to /dev/full does.
class TFullBuffer : public std::streambuf {
protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

}  // namespace

TEST(TnefTool, TextForPeopleShowsControlsAsEscapes) {
  TTempDir dir;
  TnefBuilder b;
  b.CodePage(65001)
      .Subject("Hi\x1b]0;owned\x07 there\r\nX")
      .MsgProps(PropBlock().String8(0x0C1A, "Eve \xe2\x80\xae" "fdp.exe").String8(0x1000, "one\n\x1b[2Jtwo\tthree\xc2\x9b"));
  b.Attachment("a\tb\nc.txt", "x").Attachment("\xe2\x80\xae" "exe.txt", "y");
  const std::string file = b.WriteTo(dir / "controls.tnef");

  const TRun show = RunTool({"show", file});
  EXPECT_NE(show.Out.find("Subject: Hi\\x1b]0;owned\\x07 there\\r\\nX\n"), std::string::npos) << show.Out;
  EXPECT_NE(show.Out.find("From: Eve \\u202efdp.exe\n"), std::string::npos) << show.Out;
  // One attachment, one line.
  EXPECT_EQ(RunTool({"list", file}).Out, "1\ta\\tb\\nc.txt\n1\t\\u202eexe.txt\n");
  EXPECT_EQ(RunTool({"body", file, "--text"}).Out, "one\n\\x1b[2Jtwo\tthree\\u009b");

  // The raw body and JSON keep their own exact forms.
  EXPECT_EQ(RunTool({"body", file}).Out, "one\n\x1b[2Jtwo\tthree\xc2\x9b");
  EXPECT_NE(RunTool({"list", "--json", file}).Out.find("\"a\\tb\\nc.txt\""), std::string::npos);
  EXPECT_NE(RunTool({"show", "--json", file}).Out.find("\"Hi\\u001b]0;owned\\u0007 there\\r\\nX\""),
            std::string::npos);
}

TEST(TnefTool, ReadsStandardInputAndReportsWriteErrors) {
  TTempDir dir;
  const std::string file = Sample(dir);
  std::istringstream in(ReadFileBytes(file));
  std::ostringstream out, err;
  EXPECT_EQ(RunTnefTool({"list", "-"}, in, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "4\timage001.png\n7\timage001.png\n0\tnotes.txt\n");

  std::istringstream garbage("not tnef");
  std::ostringstream none, why;
  EXPECT_EQ(RunTnefTool({"show", "-"}, garbage, none, why), 1);
  EXPECT_NE(why.str().find("Invalid file format\n"), std::string::npos);

  TFullBuffer full;
  std::ostream fullOut(&full);
  for (const auto& args : std::vector<std::vector<std::string>>{{"list", file}, {"body", file}, {"--help"}}) {
    std::ostringstream errors;
    EXPECT_EQ(RunTnefTool(args, fullOut, errors), 1) << args[0];
    EXPECT_EQ(errors.str(), "Could not write the output (is the disk full or the pipe closed?)\n");
    fullOut.clear();
  }
}
