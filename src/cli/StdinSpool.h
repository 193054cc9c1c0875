#pragma once
// Standard input copied to a file of our own, for the operand "-": the reader seeks, and a
// pipe cannot. The copy lives in a private temporary folder (nobody else can reach or
// replace it) and goes with this object, or with the program when it is told to end while
// the copy exists; its size is bounded by the disk alone.

#include <istream>
#include <string>

#include "RemoveOnTermination.h"
#include "TempFolder.h"

class TStdinSpool {
public:
  // Reads in to its end; raises EFileError when the copy cannot be written.
  explicit TStdinSpool(std::istream& in);
  const std::string& Path() const { return FPath; }

private:
  TPrivateTempFolder FFolder;
  std::string FPath;
  TRemoveOnTermination FRemoveOnEnd;
};
