// The store shared between processes: a writer killed in the middle of writing, and two
// writers at once. Every child is bounded in time and killed if it overruns.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "Registry.h"
#include "XdgSandbox.h"

namespace {

using namespace std::chrono_literals;

std::string ValueText(int writer, int i) {
  return std::string(1500, static_cast<char>('a' + (writer * 7 + i) % 26)) + std::to_string(i);
}

// Waits for a child up to the deadline, then kills it; returns its exit status (-1 when it
// had to be killed).
int Reap(pid_t pid, std::chrono::steady_clock::time_point deadline) {
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(5ms);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// In a child: writes count values named "w<writer>_<i>" into key, writing each index to ack
// after its write returned. Never returns.
[[noreturn]] void WriterChild(int writer, int count, int ack, int go) {
  if (go >= 0) {
    char c;
    while (::read(go, &c, 1) < 0) {}  // wait for the start (EOF when the parent closes it)
  }
  try {
    TRegistry reg;
    if (!reg.OpenKey("\\Software\\Shared", true)) ::_exit(2);
    for (int i = 0; i < count; ++i) {
      reg.WriteString("w" + std::to_string(writer) + "_" + std::to_string(i), ValueText(writer, i));
      if (ack >= 0 && ::write(ack, &i, sizeof i) != sizeof i) ::_exit(4);
    }
  } catch (...) {
    ::_exit(3);
  }
  ::_exit(0);
}

TEST(RegistryProcesses, AWriterKilledMidWriteLeavesEveryCompletedWrite) {
  TXdgSandbox sandbox;
  // Several rounds, each killed at a different moment after a different number of writes,
  // so that some kills land inside a transaction.
  for (int round = 0; round < 3; ++round) {
    int acks[2];
    ASSERT_EQ(::pipe(acks), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(acks[0]);
      WriterChild(round, 1000000, acks[1], -1);
    }
    ::close(acks[1]);

    const int wanted = 5 + 7 * round;
    int last = -1;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (last < wanted && std::chrono::steady_clock::now() < deadline) {
      pollfd p{acks[0], POLLIN, 0};
      if (::poll(&p, 1, 100) > 0) {
        int i;
        if (::read(acks[0], &i, sizeof i) != sizeof i) break;
        last = i;
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(137 * round));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    // Acknowledgements already in the pipe are completed writes too.
    for (int i; ::read(acks[0], &i, sizeof i) == sizeof i;) last = i;
    ::close(acks[0]);
    ASSERT_GE(last, wanted) << "the writer did not get going";

    testing::internal::CaptureStderr();
    {
      TRegistry reg;
      ASSERT_TRUE(reg.OpenKey("\\Software\\Shared", false));
      for (int r = 0; r <= round; ++r)
        for (int i = 0; i <= (r == round ? last : 5 + 7 * r); ++i)
          ASSERT_EQ(reg.ReadString("w" + std::to_string(r) + "_" + std::to_string(i)), ValueText(r, i))
              << r << " " << i;
      reg.WriteString("after", "ok");  // still writable
      EXPECT_EQ(reg.ReadString("after"), "ok");
    }
    // Nothing was taken for damage.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
}

TEST(RegistryProcesses, TwoWritersAtOnceBothPersist) {
  TXdgSandbox sandbox;
  constexpr int kCount = 40;
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  pid_t pids[2];
  for (int w = 0; w < 2; ++w) {
    pids[w] = ::fork();
    ASSERT_GE(pids[w], 0);
    if (pids[w] == 0) {
      ::close(go[1]);
      WriterChild(w, kCount, -1, go[0]);
    }
  }
  ::close(go[0]);
  ::close(go[1]);  // both start now

  const auto deadline = std::chrono::steady_clock::now() + 60s;
  EXPECT_EQ(Reap(pids[0], deadline), 0);
  EXPECT_EQ(Reap(pids[1], deadline), 0);

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Shared", false));
  EXPECT_EQ(reg.GetValueNames().size(), 2u * kCount);
  for (int w = 0; w < 2; ++w)
    for (int i = 0; i < kCount; ++i)
      EXPECT_EQ(reg.ReadString("w" + std::to_string(w) + "_" + std::to_string(i)), ValueText(w, i));
}

}  // namespace
