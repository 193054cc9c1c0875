// The mail layer of the Windows build. Its parser (GMime) has no MinGW-w64 build in Debian,
// so this build opens bare TNEF streams only: a mail or mailbox is recognised by its first
// bytes and refused with a message that says why, never read as TNEF.
#include <cstring>

#include "Exception.h"
#include "FileFormat.h"
#include "FileStream.h"
#include "MailDocument.h"
#include "MailFile.h"
#include "TNEFReaderConst.h"

namespace {

constexpr std::size_t kHeadSize = 4096;

[[noreturn]] void NoMailLayer() { throw Exception(LoadResString(TStringId::MailNotInBuild)); }

}  // namespace

// The same decision as the Linux side, over the file opened through its UTF-16 name.
TFileFormat DetectFileFormatOfFile(const std::string& path) {
  TFileStream file(path);
  char head[kHeadSize];
  const std::size_t filled = file.Read(head, sizeof head);
  return DetectFileFormat(std::string_view(head, filled));
}

std::unique_ptr<TMailFile> TMailFile::Open(const std::string&) { NoMailLayer(); }
std::unique_ptr<TMailFile> TMailFile::FromBytes(std::string_view) { NoMailLayer(); }

std::unique_ptr<TTNEFReader> OpenMailEntry(const TMailFile&, int, const std::string&) { NoMailLayer(); }

std::unique_ptr<TTNEFReader> OpenDocument(const std::string& path, const std::string& mapi32Path,
                                          const TMailChooser&, const TMailOpener&) {
  const TFileFormat format = DetectFileFormatOfFile(path);
  if (format == TFileFormat::Mail || format == TFileFormat::Mbox) NoMailLayer();
  return std::make_unique<TTNEFReader>(path, mapi32Path);
}

std::unique_ptr<TTNEFReader> OpenDocument(const std::string& path, const std::string& mapi32Path,
                                          const TMailChooser& chooser) {
  return OpenDocument(path, mapi32Path, chooser, nullptr);
}
