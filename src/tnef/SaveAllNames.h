#pragma once
// File names for saving every part of a message into one folder: the body's file name, and
// the rule that a name an earlier file of the same run already took is saved under a
// numbered variant ("image001 (2).png") instead of overwriting what this run just wrote.

#include <string>
#include <unordered_map>
#include <unordered_set>

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
  std::unordered_set<std::string> FTaken;
  // Per name: the number its next variant starts searching from. Numbers below it are
  // taken, so each claim resumes where the last one stopped and a run of n equal names
  // costs n steps, not n * n.
  std::unordered_map<std::string, int> FNextNumber;
};
