// The copy of standard input goes when the tool is told to end while it reads: the copy is
// as large as the input, and nothing else would remove it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "TempDir.h"
#include "TnefTool.h"

namespace fs = std::filesystem;

namespace {

// The spool file under folder, once some of the input has reached it; empty when none came.
fs::path WaitForSpool(const fs::path& folder) {
  for (int i = 0; i < 1000; ++i) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      const fs::path file = entry.path() / "stdin.tnef";
      if (fs::file_size(file, ec) > 0 && !ec) return file;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

sighandler_t Disposition(int signo) {
  struct sigaction now {};
  ::sigaction(signo, nullptr, &now);
  return now.sa_handler;
}

}  // namespace

TEST(StdinSpool, EndRequestWhileReadingRemovesTheCopy) {
  for (const int signo : {SIGTERM, SIGINT, SIGHUP}) {
    // A signal the tests were started ignoring (nohup) stays ignored by the tool too.
    if (Disposition(signo) == SIG_IGN) continue;
    TTempDir temp;
    int input[2];
    ASSERT_EQ(::pipe(input), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::setenv("TMPDIR", temp.Path().c_str(), 1);
      ::dup2(input[0], 0);
      ::close(input[0]);
      ::close(input[1]);
      std::ostringstream out, err;
      // Reads until the input ends, which it never does here.
      RunTnefTool({"list", "-"}, std::cin, out, err);
      ::_exit(3);
    }
    ::close(input[0]);
    const std::string start(160 * 1024, 'x');  // more than one read of the copy loop
    ASSERT_EQ(::write(input[1], start.data(), start.size()), ssize_t(start.size()));
    const fs::path spool = WaitForSpool(temp.Path());
    ASSERT_FALSE(spool.empty()) << "signal " << signo;
    ::kill(child, signo);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(input[1]);
    // Ended as the signal ends a program, and nothing of the copy is left.
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signo) << "signal " << signo << " status " << status;
    EXPECT_TRUE(fs::is_empty(temp.Path())) << "signal " << signo;
  }
}

TEST(StdinSpool, HandlersAreTheProgramsOwnAgainOnceTheCopyIsGone) {
  const int signals[] = {SIGTERM, SIGINT, SIGHUP};
  sighandler_t before[3];
  for (int i = 0; i < 3; ++i) before[i] = Disposition(signals[i]);
  std::istringstream in("not tnef");
  std::ostringstream out, err;
  EXPECT_EQ(RunTnefTool({"show", "-"}, in, out, err), 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Disposition(signals[i]), before[i]) << "signal " << signals[i];
}
