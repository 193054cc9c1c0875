// Private temporary folders: named after their process, and what a process that is gone
// left behind is removed at the next start, and nothing else.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TempDir.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

// The id of a process that has ended (and been reaped).
pid_t DeadPid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

void MakeFolder(const std::string& path, mode_t mode) {
  ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path;
  ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

void WriteFile(const std::string& path) { std::ofstream(path) << "x"; }

}  // namespace

TEST(TempFolder, IsNamedAfterItsProcessAndGoesWithTheObject) {
  TTempDir dir;
  ::setenv("TMPDIR", dir.Path().c_str(), 1);
  std::string path;
  {
    TPrivateTempFolder folder;
    path = folder.Path();
    const std::string name = fs::path(path).filename().string();
    EXPECT_EQ(name.rfind("velquin-" + std::to_string(::getpid()) + "-", 0), 0u) << name;
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    WriteFile(folder.SubFolder("0") + "/copy.txt");
    // A live process's folder, ours included, is never stale.
    EXPECT_EQ(TPrivateTempFolder::RemoveStaleFolders(dir.Path()), 0);
    EXPECT_TRUE(fs::exists(path));
  }
  EXPECT_FALSE(fs::exists(path));
  ::unsetenv("TMPDIR");
}

TEST(TempFolder, OnlyOurOwnFoldersOfProcessesThatAreGoneAreRemoved) {
  TTempDir dir;
  TTempDir outside;
  WriteFile(outside / "precious.txt");
  const std::string dead = std::to_string(DeadPid());
  const std::string base = dir.Path() + "/";

  // Stale and ours: removed with what is inside, links unlinked and not followed.
  const std::string stale = base + "velquin-" + dead + "-abc123";
  MakeFolder(stale, 0700);
  MakeFolder(stale + "/0", 0700);
  WriteFile(stale + "/0/copy.txt");
  fs::create_symlink(outside.Path(), stale + "/0/link-to-folder");
  fs::create_symlink(outside / "precious.txt", stale + "/link-to-file");
  const std::string staleEmpty = base + "velquin-" + dead + "-empty1";
  MakeFolder(staleEmpty, 0700);

  // Kept: another mode, a link named as ours, a file named as ours, a live process's
  // folder, names that are not ours.
  const std::string open = base + "velquin-" + dead + "-opened";
  MakeFolder(open, 0755);
  const std::string link = base + "velquin-" + dead + "-link00";
  fs::create_symlink(outside.Path(), link);
  const std::string file = base + "velquin-" + dead + "-file00";
  WriteFile(file);
  const std::string live = base + "velquin-1-live00";  // pid 1 is always running
  MakeFolder(live, 0700);
  const std::string other = base + "velquinx-" + dead + "-abc";
  MakeFolder(other, 0700);
  const std::string noPid = base + "velquin-abc-def";
  MakeFolder(noPid, 0700);
  const std::string noRest = base + "velquin-" + dead + "-";
  MakeFolder(noRest, 0700);

  EXPECT_EQ(TPrivateTempFolder::RemoveStaleFolders(dir.Path()), 2);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(fs::exists(staleEmpty));
  for (const std::string& kept : {open, file, live, other, noPid, noRest}) EXPECT_TRUE(fs::exists(kept)) << kept;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::exists(outside / "precious.txt"));
  EXPECT_EQ(ReadFileBytes(outside / "precious.txt"), "x");
  // A folder that cannot be read is no failure.
  EXPECT_EQ(TPrivateTempFolder::RemoveStaleFolders(dir / "missing"), 0);
}
