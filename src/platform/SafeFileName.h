#pragma once
// Attachment names come from a stranger's mail: before one touches the file system it is
// reduced to a plain name that stays inside the folder it is written to.

#include <string>
#include <string_view>

// Cleans a UTF-8 name for use as one file name: folder parts (either slash) are dropped,
// control characters (C0, DEL, C1) and bidirectional controls removed, the characters
// FAT file systems refuse (: ? * " < > |) replaced by "_", "." and ".." refused, the result cut to the file system's
// 255-byte limit while keeping the extension. An empty result becomes fallback.
std::string CleanFileName(std::string_view name, const std::string& fallback);

// "name (n).ext": the numbered variant of a file name, counting from n = 2.
std::string NumberedFileName(const std::string& name, int n);

// Joins a folder and a name with one "/" between them (the folder may end with "/" or not).
std::string JoinPath(const std::string& directory, const std::string& name);

bool FileExists(const std::string& path);
// Removes a file (a link itself, never what it points to); the outcome is not reported.
void RemoveFileQuietly(const std::string& path);

// Whether path names one place without depending on a current folder or drive ("/..." on
// Linux; "C:\...", "C:/..." or "\\server\share\..." on Windows).
bool IsFullPath(const std::string& path);
