// A mail or mailbox in memory, walked as opening it does: every TNEF part's headers and
// name, every part and attachment decoded, and the first part read through the reader over
// its private temporary file, as the window and the CLI read it. Only our own exception
// type is an expected outcome.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "Exception.h"
#include "MailDocument.h"

namespace {

// Bounds one input's work; the parser and the decoders are linear, the count of parts is not
// (a small input can name thousands of empty parts).
constexpr int kMaxEntries = 16;
constexpr std::size_t kMaxAttachments = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (sink < 0) std::abort();
  try {
    const auto mail = TMailFile::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    std::size_t seen = 0;
    for (int i = 0; i < mail->Count() && i < kMaxEntries; ++i) {
      const TMailEntry& entry = mail->Entry(i);
      if (entry.PartInMail >= entry.PartsInMail) std::abort();
      seen += entry.PartName.size() + entry.Headers.Subject.size() + entry.Headers.From.size() +
              entry.Headers.To.size() + entry.Headers.Cc.size() + entry.Headers.DateText.size();
      mail->WriteTnefPart(i, sink);
      const auto& attachments = mail->Attachments(i);
      for (std::size_t k = 0; k < attachments.size() && k < kMaxAttachments; ++k) {
        seen += attachments[k].Name.size() + attachments[k].MimeType.size();
        mail->WriteAttachment(i, static_cast<int>(k), sink);
      }
    }
    if (mail->Count() > 0) {
      try {
        // A library path that names nothing: a body the strict decoder refuses stays unread.
        const auto reader = OpenMailEntry(*mail, 0, "/nonexistent/libvelquin-mapi.so");
        seen += reader->DisplaySubject().size() + reader->DisplayFrom().size() +
                reader->RecipientLine(TRecipientType::To).size() + reader->Body().size();
        for (int k = 0; k < reader->Count(); ++k) {
          const TTNEFFile& file = reader->Files(k);
          if (file.Offset() + file.Size() > reader->Stream().Size()) std::abort();
          seen += file.DisplayName().size() + file.SafeFileName().size();
        }
      } catch (const Exception&) {
      }
    }
    (void)seen;
  } catch (const Exception&) {
  }
  return 0;
}
