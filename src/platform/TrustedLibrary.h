#pragma once
// Whether a shared library file is safe to load into the program: loading runs its code with
// the user's rights, so only a file that nobody but the user (or the system) could have put
// or changed there qualifies.

#include <string>

// "" when path may be loaded; otherwise the reason it is refused, for the user to read. A
// path is refused when it is empty or has no folder (the loader would search for it), when
// the file does not belong to root or the user, or when the file or the folder it sits in
// (the link's and the real one's) can be written by the group or by others.
std::string TrustedLibraryRefusal(const std::string& path);
