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
// before '@' is matched against the file names.
TTNEFFile* CidAttachment(TTNEFReader& reader, std::string_view contentId) {
  for (int i = 0; i < reader.Count(); ++i)
    if (!reader.Files(i).ContentId().empty() && reader.Files(i).ContentId() == contentId) return &reader.Files(i);
  const std::string_view name = contentId.substr(0, contentId.find('@'));
  for (int i = 0; i < reader.Count(); ++i) {
    TTNEFFile& file = reader.Files(i);
    if (EqualNoCase(file.DisplayName(), name) || EqualNoCase(file.FileName(), name)) return &file;
  }
  return nullptr;
}

TCidLookup AttachmentLookup(TTNEFReader& reader) {
  return [&reader](std::string_view contentId, TRtfPicture& picture) {
    TTNEFFile* found = CidAttachment(reader, contentId);
    if (!found) return false;
    TTNEFFile& file = *found;
    if (file.Size() == 0 || file.Size() > kMaxInlinePicture) return false;
    std::string bytes = file.ReadBytes(kMaxInlinePicture);
    picture.Format = SniffPictureFormat(bytes, file.DisplayName());
    if (picture.Format == TPictureFormat::Unknown) return false;
    picture.Bytes = std::move(bytes);
    return true;
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

TRtfConversion ConvertMessageBody(TTNEFReader& reader, TBodyOutputs outputs, std::size_t firstBytes, bool* partial) {
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
      return ConvertRtfBody(FirstPart(text, firstBytes, '\\', partial), textPage, AttachmentLookup(reader), outputs);
    }
    case TBodyKind::Html: {
      // The charset a <meta> declares is looked for in the whole body, as the whole body would be.
      const std::string_view bytes = reader.HtmlBody();
      const unsigned declared = HtmlDeclaredCodePage(bytes);
      return ConvertHtmlBody(DecodeHtmlBytes(FirstPart(bytes, firstBytes, '<', partial), reader.HtmlBodyIsUtf8(),
                                             declared != 0 ? declared : codePage),
                             AttachmentLookup(reader), outputs);
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
