// The whole reader over a temporary file, then everything the window and the CLI read back.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Exception.h"
#include "TNEFReaderClass.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    char name[] = "/tmp/velquin-fuzz-reader-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd >= 0) ::close(fd);
    return std::string(name);
  }();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  try {
    TTNEFReader reader(path, "/nonexistent/fuzz-mail-library.so");
    std::size_t sink = reader.DisplaySubject().size() + reader.DisplayFrom().size() +
                       reader.Body().size() + reader.Attributes().size();
    for (int i = 0; i < reader.Count(); ++i) {
      const TTNEFFile& file = reader.Files(i);
      sink += file.DisplayName().size() + file.SafeFileName().size();
      if (file.Offset() + file.Size() > reader.Stream().Size()) std::abort();
    }
    (void)sink;
  } catch (const Exception&) {
  }
  return 0;
}
