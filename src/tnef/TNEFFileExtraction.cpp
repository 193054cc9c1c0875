// Getting one attachment's bytes out of the TNEF file: into a chosen folder, or into a
// temporary copy that other programs can open.

#include "FileCopy.h"
#include "SafeFileName.h"
#include "Shell.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"

TTNEFFile::~TTNEFFile() {
  if (FTempSaved) RemoveFileQuietly(FTempFileName);
}

std::string TTNEFFile::SafeFileName() const {
  return CleanFileName(DisplayName(), FormatRes(TStringId::AttachmentFallbackName, {Arg(FIndex + 1)}));
}

std::string TTNEFFile::SaveTo(const std::string& directory, const std::string& name) {
  const std::string path = JoinPath(directory, name.empty() ? SafeFileName() : name);
  SaveAs(path, TCreateMode::Replace);
  return path;
}

std::string TTNEFFile::PrepareTempCopy() {
  if (!FTempSaved) {
    // Each attachment gets a folder of its own, so two attachments with one name keep
    // their own bytes.
    const std::string folder = FReader->TempFolder().SubFolder(std::to_string(FIndex));
    FTempFileName = SaveTo(folder, "");
    FTempSaved = true;
  }
  return FTempFileName;
}

void TTNEFFile::ShellOpen() {
  ShellOpenDocument(PrepareTempCopy());
}
