#pragma once
// A private temporary folder (mode 0700) made on first use under the system temp folder and
// removed with everything in it when the object goes. Nobody else can plant a file or a link
// in it, so copies made there are safe to hand to other programs.

#include <string>

class TPrivateTempFolder {
public:
  TPrivateTempFolder() = default;
  ~TPrivateTempFolder();
  TPrivateTempFolder(const TPrivateTempFolder&) = delete;
  TPrivateTempFolder& operator=(const TPrivateTempFolder&) = delete;

  // The folder's path, creating it first if needed; raises EFileError when it cannot.
  const std::string& Path();
  // A subfolder of it (created if missing), for one item's files.
  std::string SubFolder(const std::string& name);
  bool Exists() const { return !FPath.empty(); }

  // The system's temporary-files folder: $TMPDIR when it names a folder, else /tmp.
  static std::string SystemTempDir();

private:
  std::string FPath;
};
