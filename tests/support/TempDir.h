#pragma once
// A scratch folder for one test, removed with everything in it at the end.

#include <string>

class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::string& Path() const { return FPath; }
  std::string operator/(const std::string& name) const { return FPath + "/" + name; }

private:
  std::string FPath;
};

// Whole contents of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);

// The folder of real TNEF samples ($VELQUIN_CORPUS, else the one beside the checkout), or ""
// when it is not there; tests that read it skip in that case.
std::string CorpusDir();

// Makes link a symbolic link to target; false when none can be made here (Windows refuses
// them without developer mode, and Wine 8 reports success while making nothing, so the
// link is looked for afterwards).
bool MakeSymlink(const std::string& target, const std::string& link);
// Whether path is itself a link (a reparse point on Windows), not what it points at.
bool IsSymlink(const std::string& path);
