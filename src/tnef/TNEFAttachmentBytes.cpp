// The one way to an attachment's bytes: a bounded read into memory, or a copy into a file.
// Both position the shared file themselves and put it back, so callers never touch it.

#include <algorithm>

#include "TNEFReaderClass.h"

std::string TTNEFFile::ReadBytes(std::uint64_t maxSize) const {
  TFileStream& stream = FReader->Stream();
  const std::int64_t saved = stream.Position();
  std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(FSize, maxSize)), '\0');
  stream.Seek(FOffset);
  bytes.resize(stream.Read(bytes.data(), bytes.size()));
  stream.Seek(saved);
  return bytes;
}

bool TTNEFFile::SaveAs(const std::string& path, TCreateMode mode) const {
  const TFileStream& stream = FReader->Stream();
  return CopyFileRangeTo(stream.Handle(), stream.Path(), FOffset, FSize, path, mode);
}
