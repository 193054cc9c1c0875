#include "MailDocument.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include "Exception.h"
#include "FileFormat.h"
#include "MapiHelper.h"
#include "MailScratch.h"
#include "TNEFReaderConst.h"

namespace {

struct TPlacedFile {
  const TMailAttachment* Attachment;
  std::int64_t Offset;
  std::uint32_t Size;
};

}  // namespace

std::unique_ptr<TTNEFReader> OpenMailEntry(const TMailFile& mail, int entry,
                                           const std::string& mapi32Path) {
  const std::vector<TMailAttachment>& attachments = mail.Attachments(entry);
  // The scratch goes when this function returns; the reader's open stream keeps the bytes
  // until it closes, so nothing is left behind on any path.
  const TMailScratch scratch;
  const std::string& path = scratch.Path();
  const auto writeFailed = [&] {
    return EFileError(FormatRes(TStringId::FileWriteError, {Arg(path), Arg(std::strerror(errno))}));
  };
  if (!mail.WriteTnefPart(entry, scratch.Fd())) throw writeFailed();
  const std::int64_t tnefLength = scratch.Position();
  std::vector<TPlacedFile> placed;
  for (std::size_t i = 0; i < attachments.size(); ++i) {
    const std::int64_t start = scratch.Position();
    if (!mail.WriteAttachment(entry, static_cast<int>(i), scratch.Fd())) throw writeFailed();
    const std::int64_t size = scratch.Position() - start;
    // The model's sizes are 32-bit, as TNEF's are; a bigger file is left out of the list,
    // and its bytes go from the private file again.
    if (size <= std::numeric_limits<std::uint32_t>::max())
      placed.push_back({&attachments[i], start, static_cast<std::uint32_t>(size)});
    else if (!scratch.CutAt(start))
      throw writeFailed();
  }
  if (tnefLength < 0) throw writeFailed();

  auto stream = std::make_shared<TFileStream>(path);
  auto reader = std::make_unique<TTNEFReader>(std::move(stream), 0, tnefLength,
                                              TMapiHelper::ResolveMapi32Path(mapi32Path));
  reader->SetCarrierHeaders(mail.Entry(entry).Headers);
  for (const TPlacedFile& file : placed)
    reader->AddCarriedFile(file.Attachment->Name, file.Attachment->MimeType, file.Size, file.Offset);
  return reader;
}

std::unique_ptr<TTNEFReader> OpenDocument(const std::string& path, const std::string& mapi32Path,
                                          const TMailChooser& chooser, const TMailOpener& openMail) {
  const TFileFormat format = DetectFileFormatOfFile(path);
  if (format != TFileFormat::Mail && format != TFileFormat::Mbox)
    return std::make_unique<TTNEFReader>(path, mapi32Path);
  const std::unique_ptr<TMailFile> mail = openMail(path);
  if (mail->Count() == 0) throw Exception(LoadResString(TStringId::MailHasNoTnef));
  const int entry = mail->Count() == 1 ? 0 : (chooser ? chooser(*mail) : -1);
  if (entry < 0) return nullptr;
  return OpenMailEntry(*mail, entry, mapi32Path);
}
