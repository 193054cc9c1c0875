// Private temporary folders: named after their process, and what a process that is gone
// left behind is removed at the next start, and nothing else.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "TempDir.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const std::string& path) { std::ofstream(path) << "x"; }

#ifdef _WIN32
unsigned long OwnPid() { return ::GetCurrentProcessId(); }

void SetTempFolder(const std::string& path) {
  ::SetEnvironmentVariableW(L"TMP", path.empty() ? nullptr : fs::path(path).wstring().c_str());
}

// A process started from the system's command interpreter; suspended ones stay alive until
// the object goes.
class TChild {
public:
  explicit TChild(bool suspended) {
    std::wstring command = L"cmd.exe /c exit";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                          suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &startup, &FInfo);
    EXPECT_TRUE(started) << ::GetLastError();
    if (started && !suspended) ::WaitForSingleObject(FInfo.hProcess, INFINITE);
  }
  ~TChild() {
    if (!FInfo.hProcess) return;
    ::TerminateProcess(FInfo.hProcess, 0);
    ::WaitForSingleObject(FInfo.hProcess, INFINITE);
    ::CloseHandle(FInfo.hThread);
    ::CloseHandle(FInfo.hProcess);
  }
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;
  unsigned long Pid() const { return FInfo.dwProcessId; }

private:
  PROCESS_INFORMATION FInfo{};
};

// The id of a process that has ended, with no handle left open on it.
unsigned long DeadPid() {
  unsigned long pid = 0;
  {
    TChild child(false);
    pid = child.Pid();
  }
  return pid;
}

void MakeFolder(const std::string& path) { ASSERT_TRUE(fs::create_directory(path)) << path; }

std::vector<std::uint8_t> CurrentUser() {
  std::vector<std::uint8_t> info;
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return info;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  info.resize(size);
  if (!::GetTokenInformation(token, TokenUser, info.data(), size, &size)) info.clear();
  ::CloseHandle(token);
  return info;
}

// The owner's SID as text, "" when it cannot be read.
std::string OwnerOf(const std::string& path) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(fs::path(path).wstring().c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
    return "";
  char* text = nullptr;
  std::string result;
  if (::ConvertSidToStringSidA(owner, &text)) {
    result = text;
    ::LocalFree(text);
  }
  ::LocalFree(descriptor);
  return result;
}

std::string CurrentUserText() {
  std::vector<std::uint8_t> user = CurrentUser();
  char* text = nullptr;
  if (user.empty() || !::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) return "";
  std::string result = text;
  ::LocalFree(text);
  return result;
}

// Hands the folder to the Administrators group, which the user belongs to and may make an
// owner; whether it took is read back.
bool GiveToAdministrators(const std::string& path) {
  PSID group = nullptr;
  if (!::ConvertStringSidToSidW(L"S-1-5-32-544", &group)) return false;
  std::wstring wide = fs::path(path).wstring();
  ::SetNamedSecurityInfoW(wide.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, group, nullptr, nullptr, nullptr);
  ::LocalFree(group);
  return OwnerOf(path) == "S-1-5-32-544";
}

#else
unsigned long OwnPid() { return static_cast<unsigned long>(::getpid()); }

void SetTempFolder(const std::string& path) {
  if (path.empty())
    ::unsetenv("TMPDIR");
  else
    ::setenv("TMPDIR", path.c_str(), 1);
}

// The id of a process that has ended (and been reaped).
pid_t DeadPid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

void MakeFolder(const std::string& path, mode_t mode = 0700) {
  ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path;
  ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

#endif

}  // namespace

TEST(TempFolder, IsNamedAfterItsProcessAndGoesWithTheObject) {
  TTempDir dir;
  SetTempFolder(dir.Path());
  std::string path;
  {
    TPrivateTempFolder folder;
    path = folder.Path();
    const std::string name = fs::path(path).filename().string();
    EXPECT_EQ(name.rfind("velquin-" + std::to_string(OwnPid()) + "-", 0), 0u) << name;
    EXPECT_EQ(fs::path(path).parent_path(), fs::path(dir.Path()));
#ifdef _WIN32
    EXPECT_EQ(OwnerOf(path), CurrentUserText());
#else
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
#endif
    WriteFile(folder.SubFolder("0") + "/copy.txt");
    // A live process's folder, ours included, is never stale.
    EXPECT_EQ(TPrivateTempFolder::RemoveStaleFolders(dir.Path()), 0);
    EXPECT_TRUE(fs::exists(path));
  }
  EXPECT_FALSE(fs::exists(path));
  SetTempFolder("");
}

TEST(TempFolder, OnlyOurOwnFoldersOfProcessesThatAreGoneAreRemoved) {
  TTempDir dir;
  TTempDir outside;
  WriteFile(outside / "precious.txt");
  const std::string dead = std::to_string(DeadPid());
  const std::string base = dir.Path() + "/";

  // Stale and ours: removed with what is inside, links unlinked and not followed.
  const std::string stale = base + "velquin-" + dead + "-abc123";
  MakeFolder(stale);
  MakeFolder(stale + "/0");
  WriteFile(stale + "/0/copy.txt");
  // Where no link can be made (Wine, for one) the link cases go.
  const bool links = MakeSymlink(outside.Path(), stale + "/0/link-to-folder");
#ifndef _WIN32
  ASSERT_TRUE(links);
#endif
  if (links) {
    EXPECT_TRUE(MakeSymlink(outside / "precious.txt", stale + "/link-to-file"));
  }
  const std::string staleEmpty = base + "velquin-" + dead + "-empty1";
  MakeFolder(staleEmpty);

  // Kept: a link named as ours, a file named as ours, a live process's folder, names that
  // are not ours.
  const std::string link = base + "velquin-" + dead + "-link00";
  if (links) {
    EXPECT_TRUE(MakeSymlink(outside.Path(), link));
  }
  const std::string file = base + "velquin-" + dead + "-file00";
  WriteFile(file);
#ifdef _WIN32
  TChild running(true);
  const std::string live = base + "velquin-" + std::to_string(running.Pid()) + "-live00";
#else
  const std::string live = base + "velquin-1-live00";  // pid 1 is always running
#endif
  MakeFolder(live);
  const std::string other = base + "velquinx-" + dead + "-abc";
  MakeFolder(other);
  const std::string noPid = base + "velquin-abc-def";
  MakeFolder(noPid);
  const std::string noRest = base + "velquin-" + dead + "-";
  MakeFolder(noRest);
  std::vector<std::string> kept = {file, live, other, noPid, noRest};
  // Kept too: a folder others may enter (Linux), one owned by someone else (Windows).
  const std::string open = base + "velquin-" + dead + "-opened";
#ifdef _WIN32
  MakeFolder(open);
  if (GiveToAdministrators(open)) {
    kept.push_back(open);
  } else {
    fs::remove(open);  // no owner of another kind could be set: that case goes
  }
#else
  MakeFolder(open, 0755);
  kept.push_back(open);
#endif

  EXPECT_EQ(TPrivateTempFolder::RemoveStaleFolders(dir.Path()), 2);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(fs::exists(staleEmpty));
  for (const std::string& path : kept) EXPECT_TRUE(fs::exists(path)) << path;
  if (links) {
    EXPECT_TRUE(IsSymlink(link));
  }
  EXPECT_EQ(ReadFileBytes(outside / "precious.txt"), "x");
  // A folder that cannot be read is no failure.
  EXPECT_EQ(TPrivateTempFolder::RemoveStaleFolders(dir / "missing"), 0);
}
