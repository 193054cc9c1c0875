#pragma once
// Where the system mail library lives.

#include <string>

class TMapiHelper {
public:
  // The configured mail library: "" when the system reports no MAPI, else the mail client's
  // registered library path, else "Mapi32.dll". Never raises.
  static std::string GetMapi32Path();
};
