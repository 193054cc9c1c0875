// The whole reader over a temporary file, then everything the window and the CLI read back.
// Bodies our strict decoder refuses go to our own tolerant mail library, as they do in the
// installed program, so that path is fuzzed too. Only our own exception type is an expected
// outcome: anything else escaping the reader is a finding.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Exception.h"
#include "ICalendarWriter.h"
#include "TNEFReaderClass.h"

namespace {

// Reads back what the window and the CLI show, then opens every embedded message as the
// window's Open does, to any depth the bytes allow; visits are capped so one input stays fast.
void Walk(const TTNEFReader& reader, int& visits) {
  // The window's first look at a long body decodes only its start, then the whole.
  const std::size_t bodySize = reader.BodySize();
  const std::string start = reader.MessageTextStart(300);
  if (start.size() > 300) std::abort();
  std::size_t sink = reader.DisplaySubject().size() + reader.DisplayFrom().size() + bodySize +
                     reader.Body().size() + reader.Attributes().size() +
                     reader.Recipients().size() + reader.MessageClass().size();
  // The calendar item and its iCalendar text, as the CLI's ics and the window's export make.
  const TCalendarItem& item = reader.Calendar();
  sink += item.Attendees.size() + item.RecurrenceText.size() + item.Location.size();
  if (item.IsCalendarItem()) sink += CalendarItemToICalendar(item, reader.PlainBody(), 1).size();
  for (int i = 0; i < reader.Count(); ++i) {
    const TTNEFFile& file = reader.Files(i);
    sink += file.DisplayName().size() + file.SafeFileName().size() + file.ContentId().size();
    if (file.Offset() + file.Size() > reader.Stream().Size()) std::abort();
    if (!file.IsEmbeddedMessage() || ++visits > 64) continue;
    try {
      Walk(*reader.OpenEmbedded(i), visits);
    } catch (const Exception&) {
    }
  }
  (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Loaded once and never unloaded: the reader's own load then only takes a reference, and
  // the library's coverage counters stay where libFuzzer registered them.
  static void* const library = ::dlopen(VELQUIN_FUZZ_MAILLIB, RTLD_NOW | RTLD_LOCAL);
  if (!library) std::abort();
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
    TTNEFReader reader(path, VELQUIN_FUZZ_MAILLIB);
    int visits = 0;
    Walk(reader, visits);
  } catch (const Exception&) {
  }
  return 0;
}
