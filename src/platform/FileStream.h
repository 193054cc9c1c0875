#pragma once
// A read-only file with one position, read through a buffer so that walking many small
// records costs few system calls. Seeking is cheap: skipping data never reads it. The
// position and the buffer belong to one thread at a time; ReadAt touches neither, so it may
// be called from any thread while the file is open.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "NativeFile.h"

class TFileStream {
public:
  // Opens path for reading; raises EFileError with the system's reason when it cannot.
  explicit TFileStream(const std::string& path);
  ~TFileStream();
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  const std::string& Path() const { return FPath; }
  TNativeFile Handle() const { return FFd; }
  std::int64_t Size() const { return FSize; }
  std::int64_t Position() const { return FPosition; }
  std::int64_t Remaining() const { return FPosition < FSize ? FSize - FPosition : 0; }

  // Moves to pos, clamped to [0, Size()]: no position outside the file is ever reached.
  void Seek(std::int64_t pos);
  // Moves forward by count bytes, stopping at the end of the file.
  void Skip(std::uint64_t count);

  // Reads up to count bytes; returns how many were read (fewer only at the end of the file).
  std::size_t Read(void* buffer, std::size_t count);
  // Reads exactly count bytes or raises EReadError, leaving the position unchanged.
  void ReadExact(void* buffer, std::size_t count);
  // Reads up to count bytes at offset (fewer only at the end of the file) without the
  // position or the buffer: safe beside any other call on another thread.
  std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) const;

private:
  bool FillBuffer();
  // One read of up to count bytes at offset, the system's own (its file, per system); 0 at
  // the end of the file. Raises EFileError with the system's reason.
  std::size_t ReadSomeAt(std::int64_t offset, void* buffer, std::size_t count) const;

  std::string FPath;
  TNativeFile FFd = kNoFile;
  std::int64_t FSize = 0;
  std::int64_t FPosition = 0;
  // FBuffer holds the file bytes from FBufferStart on.
  std::vector<std::uint8_t> FBuffer;
  std::int64_t FBufferStart = 0;
};
