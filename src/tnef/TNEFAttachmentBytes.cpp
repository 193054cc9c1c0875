// The one way to an attachment's bytes: a bounded read into memory, or a copy into a file.
// Both read at the attachment's offset without the shared file's position, so callers never
// touch it, and a read on another thread (a body's pictures) does not disturb the walk.

#include <algorithm>

#include "TNEFReaderClass.h"

std::string TTNEFFile::ReadBytes(std::uint64_t maxSize) const {
  std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(FSize, maxSize)), '\0');
  bytes.resize(FReader->Stream().ReadAt(FOffset, bytes.data(), bytes.size()));
  return bytes;
}

bool TTNEFFile::SaveAs(const std::string& path, TCreateMode mode) const {
  const TFileStream& stream = FReader->Stream();
  return CopyFileRangeTo(stream.Handle(), stream.Path(), FOffset, FSize, path, mode);
}
