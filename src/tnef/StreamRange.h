#pragma once
// A window [Begin, End) of an open file that a reader walks as if it were the whole file:
// the outer message spans the file, an embedded message only its own bytes inside its
// parent. Positions are those of the file, so an attachment's offset means the same thing
// at every level. Nothing read through the window ever comes from outside it.

#include <algorithm>
#include <cstdint>
#include <memory>

#include "Exception.h"
#include "FileStream.h"
#include "TNEFReaderConst.h"

class TStreamRange {
public:
  // Raises ERangeError when the window does not lie inside the file.
  TStreamRange(std::shared_ptr<TFileStream> file, std::int64_t begin, std::int64_t length)
      : FFile(std::move(file)), FBegin(begin), FEnd(begin + length) {
    if (begin < 0 || length < 0 || begin > FFile->Size() || length > FFile->Size() - begin)
      throw ERangeError(LoadResString(TStringId::RangeCheckError));
    FFile->Seek(FBegin);
  }

  TFileStream& File() const { return *FFile; }
  const std::shared_ptr<TFileStream>& SharedFile() const { return FFile; }
  std::int64_t Begin() const { return FBegin; }
  std::int64_t End() const { return FEnd; }
  std::int64_t Position() const { return FFile->Position(); }
  std::int64_t Remaining() const { return Position() < FEnd ? FEnd - Position() : 0; }
  bool Contains(std::int64_t offset, std::uint64_t size) const {
    return offset >= FBegin && offset <= FEnd &&
           size <= static_cast<std::uint64_t>(FEnd - offset);
  }

  void Skip(std::uint64_t count) {
    FFile->Skip(std::min<std::uint64_t>(count, static_cast<std::uint64_t>(Remaining())));
  }
  std::size_t Read(void* buffer, std::size_t count) {
    return FFile->Read(buffer, std::min<std::size_t>(count, static_cast<std::size_t>(Remaining())));
  }
  void ReadExact(void* buffer, std::size_t count) {
    if (count > static_cast<std::uint64_t>(Remaining()))
      throw EReadError(LoadResString(TStringId::StreamReadError));
    FFile->ReadExact(buffer, count);
  }

private:
  std::shared_ptr<TFileStream> FFile;
  std::int64_t FBegin;
  std::int64_t FEnd;
};
