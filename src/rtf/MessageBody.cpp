#include "MessageBody.h"

#include <algorithm>
#include <cctype>

#include "BodyConversion.h"
#include "CodePage.h"
#include "HtmlText.h"
#include "TNEFReaderClass.h"

namespace {

// A cid: picture is read into memory for the pane; one larger than this is left out rather
// than held twice (file and memory) for a preview.
constexpr std::uint32_t kMaxInlinePicture = 32u << 20;

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string DecodeHtmlBytes(std::string_view bytes, bool isUtf8, unsigned codePage) {
  if (isUtf8) return std::string(UpToNul(bytes));
  unsigned declared = HtmlDeclaredCodePage(bytes);
  if (declared == 0) declared = codePage;
  if (declared == 65001 && !IsValidUtf8(bytes)) declared = codePage == 65001 ? kDefaultCodePage : codePage;
  return declared == 65001 ? std::string(UpToNul(bytes)) : CodePageToUtf8(bytes, declared);
}

// A cid: reference names the attachment whose Content-ID it is. Writers that keep no
// Content-ID name inline pictures "<file name>@<unique part>", so without a match the part
// before '@' is matched against the file names. Returns the index of the match, or -1.
template <class TContentId, class TNames>
int CidIndex(int count, std::string_view contentId, TContentId contentIdOf, TNames namesMatch) {
  for (int i = 0; i < count; ++i) {
    const std::string& id = contentIdOf(i);
    if (!id.empty() && id == contentId) return i;
  }
  const std::string_view name = contentId.substr(0, contentId.find('@'));
  for (int i = 0; i < count; ++i)
    if (namesMatch(i, name)) return i;
  return -1;
}

// Makes picture of bytes read for a cid: reference; false when they are no picture.
bool TakePicture(std::string bytes, const std::string& displayName, TRtfPicture& picture) {
  picture.Format = SniffPictureFormat(bytes, displayName);
  if (picture.Format == TPictureFormat::Unknown) return false;
  picture.Bytes = std::move(bytes);
  return true;
}

TCidLookup AttachmentLookup(TTNEFReader& reader) {
  return [&reader](std::string_view contentId, TRtfPicture& picture) {
    const int index = CidIndex(
        reader.Count(), contentId, [&reader](int i) -> const std::string& { return reader.Files(i).ContentId(); },
        [&reader](int i, std::string_view name) {
          const TTNEFFile& file = reader.Files(i);
          return EqualNoCase(file.DisplayName(), name) || EqualNoCase(file.FileName(), name);
        });
    if (index < 0) return false;
    const TTNEFFile& file = reader.Files(index);
    if (file.Size() == 0 || file.Size() > kMaxInlinePicture) return false;
    return TakePicture(file.ReadBytes(kMaxInlinePicture), file.DisplayName(), picture);
  };
}

TCidLookup SnapshotLookup(const TBodyAttachments& attachments) {
  return [&attachments](std::string_view contentId, TRtfPicture& picture) {
    const std::vector<TBodyAttachment>& files = attachments.Files;
    const int index = CidIndex(
        static_cast<int>(files.size()), contentId,
        [&files](int i) -> const std::string& { return files[static_cast<std::size_t>(i)].ContentId; },
        [&files](int i, std::string_view name) {
          const TBodyAttachment& file = files[static_cast<std::size_t>(i)];
          return EqualNoCase(file.DisplayName, name) || EqualNoCase(file.FileName, name);
        });
    if (index < 0 || !attachments.File) return false;
    const TBodyAttachment& file = files[static_cast<std::size_t>(index)];
    if (file.Size == 0 || file.Size > kMaxInlinePicture) return false;
    std::string bytes(file.Size, '\0');
    bytes.resize(attachments.File->ReadAt(file.Offset, bytes.data(), bytes.size()));
    return TakePicture(std::move(bytes), file.DisplayName, picture);
  };
}

// The first part of a body of about limit bytes, cut before `at` (a character that
// starts a tag, a control word or a line: ASCII, so no multibyte character is split).
std::string_view FirstPart(std::string_view body, std::size_t limit, char at, bool* partial) {
  if (body.size() <= limit) return body;
  if (partial) *partial = true;
  const std::size_t cut = body.rfind(at, limit);
  return body.substr(0, cut == std::string_view::npos || cut == 0 ? limit : cut);
}

}  // namespace

TRtfConversion HtmlBodyToHtml(std::string_view bytes, bool isUtf8, unsigned codePage) {
  return ConvertHtmlBody(DecodeHtmlBytes(bytes, isUtf8, codePage), {});
}

namespace {

TRtfConversion ConvertBody(const TTNEFReader& reader, const TCidLookup& lookup, TBodyOutputs outputs,
                           std::size_t firstBytes, bool* partial, const TStopFlag* stop) {
  const unsigned codePage = reader.CodePage();
  if (partial) *partial = false;
  switch (reader.BodyKind()) {
    case TBodyKind::Rtf: {
      // Where no RTF could be had, the reader keeps its explanation from the string table,
      // which is UTF-8 in every language; an old message's eight-bit text is hardly ever
      // valid UTF-8, and plain ASCII reads the same either way.
      // A first part needs only the body's start decoded: one byte past it tells whether
      // there is more.
      std::string start;
      if (firstBytes != std::string_view::npos) start = reader.MessageTextStart(firstBytes + 1);
      const std::string_view text = firstBytes != std::string_view::npos ? std::string_view(start)
                                                                         : std::string_view(reader.MessageText());
      const bool notRtf = text.compare(0, 5, "{\\rtf") != 0;
      const unsigned textPage = notRtf && IsValidUtf8(text) ? 65001 : codePage;
      return ConvertRtfBody(FirstPart(text, firstBytes, '\\', partial), textPage, lookup, outputs, stop);
    }
    case TBodyKind::Html: {
      // The charset a <meta> declares is looked for in the whole body, as the whole body would be.
      const std::string_view bytes = reader.HtmlBody();
      const unsigned declared = HtmlDeclaredCodePage(bytes);
      return ConvertHtmlBody(DecodeHtmlBytes(FirstPart(bytes, firstBytes, '<', partial), reader.HtmlBodyIsUtf8(),
                                             declared != 0 ? declared : codePage),
                             lookup, outputs, stop);
    }
    case TBodyKind::Text: {
      TRtfConversion result;
      result.Source = TBodySource::PlainText;
      const std::string_view body = FirstPart(reader.PlainBody(), firstBytes, '\n', partial);
      result.Text = reader.PlainBodyIsUtf8() ? std::string(UpToNul(body)) : CodePageToUtf8(body, codePage);
      if (outputs != TBodyOutputs::Text) result.Html = PlainTextToHtml(result.Text);
      if (outputs == TBodyOutputs::Html) result.Text.clear();
      return result;
    }
    default:
      return {};
  }
}

}  // namespace

TBodyAttachments BodyAttachments(const TTNEFReader& reader) {
  TBodyAttachments out;
  out.File = reader.Range().SharedFile();
  out.Files.reserve(static_cast<std::size_t>(reader.Count()));
  for (int i = 0; i < reader.Count(); ++i) {
    const TTNEFFile& file = reader.Files(i);
    out.Files.push_back({file.ContentId(), file.DisplayName(), file.FileName(), file.Offset(), file.Size()});
  }
  return out;
}

TRtfConversion ConvertMessageBody(TTNEFReader& reader, TBodyOutputs outputs, std::size_t firstBytes, bool* partial) {
  return ConvertBody(reader, AttachmentLookup(reader), outputs, firstBytes, partial, nullptr);
}

TRtfConversion ConvertMessageBody(const TTNEFReader& reader, const TBodyAttachments& attachments, TBodyOutputs outputs,
                                  std::size_t firstBytes, bool* partial, const TStopFlag* stop) {
  return ConvertBody(reader, SnapshotLookup(attachments), outputs, firstBytes, partial, stop);
}
