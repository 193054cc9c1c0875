#include "RemoveOnTermination.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler reads only these: paths copied in beforehand, and a flag set after them.
char gFile[PATH_MAX];
char gFolder[PATH_MAX];
volatile sig_atomic_t gArmed = 0;
struct sigaction gPrevious[3];

extern "C" void OnEndRequest(int signo) {
  // unlink and rmdir are safe in a signal handler.
  if (gArmed) {
    ::unlink(gFile);
    ::rmdir(gFolder);
  }
  // SA_RESETHAND gave the signal its default action back: sent again, it ends the program
  // once this handler returns, as it would have without us.
  ::raise(signo);
}

bool CopyPath(char* to, const std::string& from) {
  if (from.size() >= PATH_MAX) return false;
  std::memcpy(to, from.c_str(), from.size() + 1);
  return true;
}

}  // namespace

TRemoveOnTermination::TRemoveOnTermination(const std::string& file, const std::string& folder) {
  gArmed = 0;
  if (!CopyPath(gFile, file) || !CopyPath(gFolder, folder)) return;
  struct sigaction action {};
  action.sa_handler = OnEndRequest;
  sigfillset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int i = 0; i < 3; ++i) {
    // A signal the program was started ignoring (nohup's SIGHUP) stays ignored.
    struct sigaction current {};
    ::sigaction(kSignals[i], nullptr, &current);
    gPrevious[i] = current;
    if (current.sa_handler != SIG_IGN) ::sigaction(kSignals[i], &action, nullptr);
  }
  gArmed = 1;
}

TRemoveOnTermination::~TRemoveOnTermination() {
  if (!gArmed) return;
  gArmed = 0;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &gPrevious[i], nullptr);
}
