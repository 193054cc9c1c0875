// Files that the mail carrying a TNEF stream brought beside it. The mail layer decodes them
// into the same private file as the stream, after it, so they are read and saved exactly
// like the stream's own attachments.

#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"

TTNEFFile& TTNEFReader::AddCarriedFile(std::string name, std::string mimeType, std::uint32_t size,
                                       std::int64_t offset) {
  const std::int64_t fileSize = Stream().Size();
  if (offset < 0 || offset > fileSize || size > static_cast<std::uint64_t>(fileSize - offset))
    throw ERangeError(LoadResString(TStringId::RangeCheckError));
  auto file = std::make_unique<TTNEFFile>(this, Count(), std::move(name), size, offset);
  file->FFileNameIsUtf8 = true;
  file->FHasData = true;
  file->FCarried = true;
  file->FMimeTag = std::move(mimeType);
  FFiles.push_back(std::move(file));
  return *FFiles.back();
}
