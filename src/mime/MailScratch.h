#pragma once
// The private file a mail's TNEF part and its other files are decoded into, for the reader
// to read back. Nothing of it stays behind once the scratch and the reader's stream are gone.

#include <cstdint>
#include <string>

#include "TempFolder.h"

class TMailScratch {
public:
  // Creates the file, empty, where only this user can read it; raises EFileError.
  TMailScratch();
  ~TMailScratch();
  TMailScratch(const TMailScratch&) = delete;
  TMailScratch& operator=(const TMailScratch&) = delete;

  const std::string& Path() const { return FPath; }
  // A C runtime descriptor open for writing at the end of what was written, in binary mode.
  int Fd() const { return FFd; }
  // The write position; negative on a failure.
  std::int64_t Position() const;
  // Drops everything from offset on and writes from there next.
  bool CutAt(std::int64_t offset) const;

private:
  TPrivateTempFolder FFolder;  // unused where the file deletes itself on close
  std::string FPath;
  int FFd = -1;
};
