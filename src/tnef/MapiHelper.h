#pragma once
// Where the system mail library lives.

#include <string>

class TMapiHelper {
public:
  // The configured mail library: "" when the system reports no MAPI, else the mail client's
  // registered library path, else "Mapi32.dll". Never raises.
  static std::string GetMapi32Path();

  // The mail library to load: the user's choice when there is one, else the machine
  // store's path when it names a folder, else our own library where the installation put
  // it beside the running program (bin/../lib/velquin-reader), else whatever the machine
  // store said. Worked out afresh at each start so that nothing stale is pinned.
  static std::string ResolveMapi32Path(const std::string& userChoice);
  // Our own library beside the running program, "" when it is not there.
  static std::string InstalledMailLibrary();
};
