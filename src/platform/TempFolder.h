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

  // Folders are named kNamePrefix + the creating process's id + "-" + a random part, so
  // that a later start can tell which folders a process that is gone left behind.
  static constexpr const char* kNamePrefix = "velquin-";
  // Removes, in folder (the system's temporary folder when empty), the folders that a
  // process of ours left behind when it was killed or crashed: only entries named as ours
  // whose process is gone, that are real folders (never a link or junction), owned by this
  // user and, on Linux, of mode 0700. Nothing inside is followed either. Returns how many were removed; never raises.
  static int RemoveStaleFolders(const std::string& folder = {});

private:
  std::string FPath;
};
