// The first bytes of a file, and the parser's descriptor, on Windows: the name reaches the
// system as UTF-16, and the descriptor reads bytes as they are (binary mode).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "Exception.h"
#include "FileFormat.h"
#include "FileStream.h"
#include "TNEFReaderConst.h"
#include "WideText.h"

namespace {

constexpr std::size_t kHeadSize = 4096;

}  // namespace

int OpenFileForParsing(const std::string& path) {
  // Others may read, write or rename the file meanwhile, as they may on Linux.
  const HANDLE handle = ::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    throw EFileError(FormatRes(TStringId::FileOpenError, {Arg(path), Arg(LastErrorText())}));
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    const std::string error = LastErrorText();
    ::CloseHandle(handle);
    throw EFileError(FormatRes(TStringId::FileOpenError, {Arg(path), Arg(error)}));
  }
  return fd;
}

TFileFormat DetectFileFormatOfFile(const std::string& path) {
  TFileStream file(path);
  char head[kHeadSize];
  const std::size_t filled = file.Read(head, sizeof head);
  return DetectFileFormat(std::string_view(head, filled));
}
