#pragma once
// The system's handle of an open file: a descriptor on Linux, a HANDLE on Windows.

#ifdef _WIN32
using TNativeFile = void*;
inline const TNativeFile kNoFile = reinterpret_cast<void*>(-1);  // INVALID_HANDLE_VALUE
#else
using TNativeFile = int;
inline constexpr TNativeFile kNoFile = -1;
#endif
