#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include "Exception.h"
#include "FileCopy.h"
#include "SaveAllNames.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"
#include "TnefBuilder.h"

using namespace tb;

namespace {

std::string Pattern(std::size_t n, unsigned seed) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 2654435761u + seed) >> 13);
  return s;
}

}  // namespace

TEST(Extraction, SavedBytesEqualTheBytesWrittenIntoTheFile) {
  TTempDir dir;
  const std::string big = Pattern(3 * 1024 * 1024 + 17, 1);
  TnefBuilder b;
  b.Attachment("big.bin", big).Attachment("small.txt", "small").Attachment("empty", "");
  const std::string path = b.WriteTo(dir / "in.tnef");
  TTNEFReader reader(path, "");
  EXPECT_EQ(ReadFileBytes(reader.Files(0).SaveTo(dir.Path(), "")), big);
  EXPECT_EQ(reader.Files(1).SaveTo(dir.Path() + "/", "renamed.txt"), dir / "renamed.txt");
  EXPECT_EQ(ReadFileBytes(dir / "renamed.txt"), "small");
  // Folder with or without a trailing slash gives the same path.
  EXPECT_EQ(reader.Files(1).SaveTo(dir.Path(), "renamed.txt"), dir / "renamed.txt");
  const std::string empty = reader.Files(2).SaveTo(dir.Path(), "");
  ASSERT_TRUE(std::filesystem::is_regular_file(empty));
  EXPECT_EQ(std::filesystem::file_size(empty), 0u);
}

TEST(Extraction, SaveToReplacesAnExistingFile) {
  TTempDir dir;
  const std::string path = TnefBuilder().Attachment("a.txt", "new").WriteTo(dir / "in.tnef");
  WriteFileBytes(dir / "a.txt", "old content, longer", 19);
  TTNEFReader reader(path, "");
  reader.Files(0).SaveTo(dir.Path(), "");
  EXPECT_EQ(ReadFileBytes(dir / "a.txt"), "new");
}

#ifndef _WIN32
// Links need an administrator's right on Windows, so a planted link is a POSIX concern.
// A link planted at a target name is never written through, in either mode, and a failed
// replacement leaves the file it was to replace as it was.
TEST(Extraction, SavingNeverFollowsALinkNorDestroysTheOldFileOnFailure) {
  TTempDir dir;
  const std::string path = TnefBuilder().Attachment("report.txt", "attacker").WriteTo(dir / "in.tnef");
  ASSERT_EQ(::mkdir((dir / "out").c_str(), 0700), 0);
  WriteFileBytes(dir / "victim.txt", "precious", 8);
  ASSERT_EQ(::symlink("../victim.txt", (dir / "out/report.txt").c_str()), 0);
  TTNEFReader reader(path, "");
  TFileStream& stream = reader.Stream();
  const TTNEFFile& file = reader.Files(0);

  EXPECT_FALSE(CopyFileRangeTo(stream.Handle(), stream.Path(), file.Offset(), file.Size(),
                               dir / "out/report.txt", TCreateMode::Exclusive));
  EXPECT_FALSE(WriteFileBytes(dir / "out/report.txt", "x", 1, TCreateMode::Exclusive));
  ASSERT_EQ(::symlink("../victim.txt", (dir / "out/body.rtf").c_str()), 0);
  WriteFileBytes(dir / "out/body.rtf", "body", 4);
  reader.Files(0).SaveTo(dir / "out", "");
  EXPECT_EQ(ReadFileBytes(dir / "victim.txt"), "precious");
  struct stat st {};
  ASSERT_EQ(::lstat((dir / "out/report.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFileBytes(dir / "out/report.txt"), "attacker");
  EXPECT_EQ(ReadFileBytes(dir / "out/body.rtf"), "body");

  // The source ends before the range does: the copy fails, the old file stays whole and
  // no temporary file is left in the folder.
  EXPECT_THROW(CopyFileRangeTo(stream.Handle(), stream.Path(), file.Offset(), 1u << 30,
                               dir / "out/report.txt", TCreateMode::Replace),
               EFileError);
  EXPECT_EQ(ReadFileBytes(dir / "out/report.txt"), "attacker");
  // Written straight under a name nothing stands at, a failed copy leaves nothing there.
  EXPECT_THROW(CopyFileRangeTo(stream.Handle(), stream.Path(), file.Offset(), 1u << 30, dir / "out/new.txt",
                               TCreateMode::Replace),
               EFileError);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "out/new.txt")));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "out")) entries += !entry.is_directory();
  EXPECT_EQ(entries, 2);

  // A link to nowhere is a name something stands at: it is replaced, and nothing is made
  // where it points.
  ASSERT_EQ(::symlink("../planted.txt", (dir / "out/dangling.txt").c_str()), 0);
  EXPECT_TRUE(WriteFileBytes(dir / "out/dangling.txt", "mine", 4));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "planted.txt")));
  ASSERT_EQ(::lstat((dir / "out/dangling.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFileBytes(dir / "out/dangling.txt"), "mine");
}
#endif

TEST(Extraction, SaveToAnUnwritablePlaceRaisesAndLeavesNoFile) {
  TTempDir dir;
  const std::string path = TnefBuilder().Attachment("a.txt", "x").WriteTo(dir / "in.tnef");
  TTNEFReader reader(path, "");
  EXPECT_THROW(reader.Files(0).SaveTo(dir / "no/such/folder", ""), EFileError);
}

TEST(Extraction, HostileNamesStayInsideTheTargetFolder) {
  TTempDir dir;
  TnefBuilder b;
  b.Attachment("../../escape.txt", "1").Attachment("C:\\Windows\\evil.dll", "2");
  b.Attachment("..", "3").Attachment("", "4").Attachment(std::string("bad\x01\x1fname.txt"), "5");
  const std::string path = b.WriteTo(dir / "in.tnef");
  TTNEFReader reader(path, "");
  EXPECT_EQ(reader.Files(0).SaveTo(dir.Path(), ""), dir / "escape.txt");
  EXPECT_EQ(reader.Files(1).SaveTo(dir.Path(), ""), dir / "evil.dll");
  EXPECT_EQ(reader.Files(2).SaveTo(dir.Path(), ""), dir / "attachment-3");
  EXPECT_EQ(reader.Files(3).SaveTo(dir.Path(), ""), dir / "attachment-4");
  EXPECT_EQ(reader.Files(4).SaveTo(dir.Path(), ""), dir / "badname.txt");
  EXPECT_EQ(reader.Files(0).FileName(), "../../escape.txt");  // the model keeps the name as read
}

TEST(Extraction, TemporaryCopiesArePrivateMadeOnceAndRemovedWithTheReader) {
  TTempDir dir;
  TnefBuilder b;
  b.Attachment("report.pdf", "first").Attachment("report.pdf", "second");
  const std::string path = b.WriteTo(dir / "in.tnef");
  std::string first, second, folder;
  {
    TTNEFReader reader(path, "");
    first = reader.Files(0).PrepareTempCopy();
    second = reader.Files(1).PrepareTempCopy();
    EXPECT_NE(first, second);  // same name, own bytes
    EXPECT_EQ(ReadFileBytes(first), "first");
    EXPECT_EQ(ReadFileBytes(second), "second");
    EXPECT_TRUE(reader.Files(0).TempSaved());

    // Made once: a second call returns the same path without writing again.
    WriteFileBytes(first, "changed", 7);
    EXPECT_EQ(reader.Files(0).PrepareTempCopy(), first);
    EXPECT_EQ(ReadFileBytes(first), "changed");

    folder = first.substr(0, first.find_last_of("/\\"));
    folder = folder.substr(0, folder.find_last_of("/\\"));
    ASSERT_TRUE(std::filesystem::is_directory(folder));
#ifndef _WIN32
    // On Windows the folder is kept private by its owner-only access list, not by a mode.
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif
  }
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(SaveAllNames, RepeatedNamesGetNumberedVariants) {
  TSaveAllNames names;
  EXPECT_EQ(names.Claim("image001.png"), "image001.png");
  EXPECT_EQ(names.Claim("image001.png"), "image001 (2).png");
  EXPECT_EQ(names.Claim("IMAGE001.PNG"), "IMAGE001 (3).PNG");
  EXPECT_EQ(names.Claim("README"), "README");
  EXPECT_EQ(names.Claim("README"), "README (2)");
  // A name that is itself a variant is taken like any other.
  EXPECT_EQ(names.Claim("a (2).txt"), "a (2).txt");
  EXPECT_EQ(names.Claim("a.txt"), "a.txt");
  EXPECT_EQ(names.Claim("a.txt"), "a (3).txt");
}

TEST(SaveAllNames, MessageTextFileFollowsTheBodyKind) {
  EXPECT_EQ(MessageTextFileName(TBodyKind::Rtf), "Message text.rtf");
  EXPECT_EQ(MessageTextFileName(TBodyKind::None), "Message text.rtf");
  EXPECT_EQ(MessageTextFileName(TBodyKind::Html), "Message text.htm");
  EXPECT_EQ(MessageTextFileName(TBodyKind::Text), "Message text.txt");
}
