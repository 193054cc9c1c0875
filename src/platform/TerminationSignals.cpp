#include "TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace {

int gPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signo) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signo);
  // Non-blocking: a full pipe already holds a request to end.
  [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

int InstallTerminationSignals() {
  if (gPipe[0] >= 0) return gPipe[0];
  if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    gPipe[0] = gPipe[1] = -1;
    return -1;
  }
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  // SA_RESETHAND: the next signal of the kind takes the default action, so a program that
  // hangs while ending can still be stopped.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (const int signo : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signo, &action, nullptr);
  return gPipe[0];
}

int TakeTerminationSignal() {
  if (gPipe[0] < 0) return 0;
  int last = 0;
  unsigned char bytes[16];
  ssize_t n;
  while ((n = ::read(gPipe[0], bytes, sizeof bytes)) > 0) last = bytes[n - 1];
  return last;
}
