#include "RemoveOnTermination.h"

#include <windows.h>

#include <mutex>

#include "WideText.h"

namespace {

// The console calls the handler on a thread of its own, while the program goes on.
std::mutex gLock;
std::wstring gFile;
std::wstring gFolder;
bool gArmed = false;

BOOL WINAPI OnEndRequest(DWORD) {
  std::lock_guard<std::mutex> lock(gLock);
  if (gArmed) {
    // Files of ours are opened with delete sharing, so the file goes even while it is read;
    // its folder goes once the file is closed, or with the next start's clean-up.
    ::DeleteFileW(gFile.c_str());
    ::RemoveDirectoryW(gFolder.c_str());
  }
  return FALSE;  // the next handler, in the end the system's, ends the program
}

}  // namespace

TRemoveOnTermination::TRemoveOnTermination(const std::string& file, const std::string& folder) {
  std::lock_guard<std::mutex> lock(gLock);
  gFile = Widen(file);
  gFolder = Widen(folder);
  if (!gArmed) ::SetConsoleCtrlHandler(OnEndRequest, TRUE);
  gArmed = true;
}

TRemoveOnTermination::~TRemoveOnTermination() {
  std::lock_guard<std::mutex> lock(gLock);
  if (!gArmed) return;
  ::SetConsoleCtrlHandler(OnEndRequest, FALSE);
  gArmed = false;
}
