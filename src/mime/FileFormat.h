#pragma once
// What a file holds, told by its first bytes rather than its name: users save a TNEF
// stream, a mail or a mailbox under any name.

#include <string>
#include <string_view>

enum class TFileFormat {
  Tnef,  // starts with the TNEF signature
  Mbox,  // starts with a "From " separator line
  Mail,  // starts with a header field (RFC 5322)
  Other
};

// The format of a file starting with head (a few kilobytes are plenty).
TFileFormat DetectFileFormat(std::string_view head);
// The format of the file at path, from its first bytes; raises EFileError when it cannot
// be read.
TFileFormat DetectFileFormatOfFile(const std::string& path);
// A read-only C runtime descriptor of the file at path (binary mode, UTF-16 name on
// Windows), for the parser to read through; raises EFileError when it cannot be opened.
int OpenFileForParsing(const std::string& path);
