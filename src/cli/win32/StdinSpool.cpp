#include "StdinSpool.h"

#include <windows.h>

#include <vector>

#include "Exception.h"
#include "FileCopy.h"
#include "WideText.h"

TStdinSpool::TStdinSpool(std::istream& in)
    : FPath(FFolder.Path() + "\\stdin.tnef"), FRemoveOnEnd(FPath, FFolder.Path()) {
  // A new file in our own folder (which allows only us); CREATE_NEW never opens another.
  // Delete sharing lets a Ctrl+C remove it while it is written.
  HANDLE file = ::CreateFileW(Widen(FPath).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw EFileError(LastErrorText());
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > 0 && !WriteAllToFd(file, buffer.data(), got)) {
      const std::string reason = LastErrorText();
      ::CloseHandle(file);
      throw EFileError(reason);
    }
  }
  if (!::CloseHandle(file)) throw EFileError(LastErrorText());
}
