#include "IsolatedConversion.h"

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "PictureDecoders.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAsan = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAsan = true;
#else
constexpr bool kUnderAsan = false;
#endif
#else
constexpr bool kUnderAsan = false;
#endif

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The child: convert, then send an 8-byte length and the text. _exit, not exit: the
// parent's atexit handlers and stdio buffers are not the child's to run or flush.
[[noreturn]] void Child(int fd, const std::function<bool(std::string&)>& convert, const TIsolationLimits& limits) {
  // A fault ends the child quietly; crash handlers the parent installed are not for it.
  for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGILL, SIGFPE}) ::signal(sig, SIG_DFL);
  if (!kUnderAsan) {
    const rlimit memory{limits.MaxMemoryBytes, limits.MaxMemoryBytes};
    ::setrlimit(RLIMIT_AS, &memory);
  }
  const rlimit core{0, 0};
  ::setrlimit(RLIMIT_CORE, &core);
  std::string out;
  bool ok = false;
  try {
    ok = convert(out);
  } catch (...) {
    ok = false;
  }
  if (!ok) ::_exit(1);
  const std::uint64_t length = out.size();
  const bool sent = WriteAll(fd, reinterpret_cast<const char*>(&length), sizeof length) &&
                    WriteAll(fd, out.data(), out.size());
  ::_exit(sent ? 0 : 1);
}

}  // namespace

bool RunIsolated(const std::function<bool(std::string&)>& convert, std::string& out,
                 const TIsolationLimits& limits) {
  out.clear();
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return false;
  }
  if (pid == 0) {
    ::close(fds[0]);
    Child(fds[1], convert, limits);
  }
  ::close(fds[1]);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.TimeoutMs);
  std::string received;
  bool overflow = false, timedOut = false;
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timedOut = ready == 0;
      break;
    }
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the child closed its end
    if (received.size() + static_cast<std::size_t>(n) > limits.MaxOutputBytes + sizeof(std::uint64_t)) {
      overflow = true;
      break;
    }
    received.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  if (timedOut || overflow) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut || overflow || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;

  std::uint64_t length = 0;
  if (received.size() < sizeof length) return false;
  std::memcpy(&length, received.data(), sizeof length);
  if (length != received.size() - sizeof length) return false;
  out = received.substr(sizeof length);
  return true;
}

bool WmfToSvgIsolated(const std::uint8_t* data, std::size_t size, std::string& svg) {
  return RunIsolated([&](std::string& out) { return WmfToSvg(data, size, out); }, svg);
}

bool EmfToSvgIsolated(const std::uint8_t* data, std::size_t size, std::string& svg) {
  return RunIsolated([&](std::string& out) { return EmfToSvg(data, size, out); }, svg);
}
