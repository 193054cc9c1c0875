#pragma once
// Copies a range of one open file into a new file, in large blocks or inside the kernel.
// This is the one way the program writes a file for the user: neither function ever writes
// through a link or outside the folder of targetPath.

#include <cstdint>
#include <string>

#include "NativeFile.h"

enum class TCreateMode {
  Replace,    // a file (or link) of that name is replaced once the new bytes are complete
  Exclusive,  // a file (or link) of that name is kept and nothing is written
};

// Writes the size bytes at offset of the file open as source into targetPath. Returns false
// only in Exclusive mode when targetPath already exists. Raises EFileError when the target
// cannot be created or written, or when the source ends before offset + size; a target that
// could not be completed is removed, so no half-written file is left behind, and a file it
// was to replace stays as it was.
bool CopyFileRangeTo(TNativeFile source, const std::string& sourcePath, std::int64_t offset,
                     std::uint64_t size, const std::string& targetPath,
                     TCreateMode mode = TCreateMode::Replace);

// Writes all size bytes to fd, going on after short writes and EINTR. False on failure, with
// errno telling why (ENOSPC when the descriptor takes no more bytes).
bool WriteAllToFd(TNativeFile fd, const void* data, std::size_t size);

// Writes bytes into targetPath with the same modes and guarantees as CopyFileRangeTo.
bool WriteFileBytes(const std::string& targetPath, const void* data, std::size_t size,
                    TCreateMode mode = TCreateMode::Replace);
