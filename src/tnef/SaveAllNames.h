#pragma once
// File names for saving every part of a message into one folder: the body's file name, and
// the rule that a name an earlier file of the same run already took is saved under a
// numbered variant ("image001 (2).png") instead of overwriting what this run just wrote.

#include <set>
#include <string>

#include "TNEFReaderClass.h"

// "Message text.rtf", or ".htm" / ".txt" for a message whose body is HTML or plain text.
std::string MessageTextFileName(TBodyKind kind);

class TSaveAllNames {
public:
  // Returns the name to write under: name itself when no earlier file of this run took it,
  // else its first numbered variant not taken in this run. The result is taken. The choice
  // depends only on the run, so saving the same message twice picks the same names.
  std::string Claim(const std::string& name);

private:
  // Names are compared without regard to ASCII case, so the rule also holds on file
  // systems that ignore case (a USB stick, a Windows share).
  static std::string Key(const std::string& name);
  std::set<std::string> FTaken;
};
