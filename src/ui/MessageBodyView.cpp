#include "MessageBodyView.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "BodyHead.h"
#include "MessageBody.h"
#include "TNEFReaderConst.h"
#include "TNEFReaderClass.h"

namespace {

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::uint32_t Le32(const char* p) {
  std::uint32_t v = 0;
  std::memcpy(&v, p, 4);  // little-endian host
  return v;
}

// RTF keeps bitmaps as DIBs, a BMP file without its 14-byte file header; the header's one
// real field is where the pixels start: after the info header, the masks of a 40-byte
// BI_BITFIELDS header, and the palette.
QByteArray DibToBmp(const std::string& dib) {
  if (dib.size() < 40) return {};
  const std::uint32_t infoSize = Le32(dib.data());
  const unsigned bitCount = std::uint8_t(dib[14]) | std::uint8_t(dib[15]) << 8;
  const std::uint32_t compression = Le32(dib.data() + 16);
  std::uint64_t colours = Le32(dib.data() + 32);
  if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
  const std::uint64_t masks = (compression == 3 && infoSize == 40) ? 12 : 0;
  const std::uint64_t offset = 14 + std::uint64_t(infoSize) + masks + colours * 4;
  if (offset > 14 + dib.size() || infoSize < 12) return {};
  const std::uint64_t fileSize = 14 + dib.size();
  QByteArray bmp("BM", 2);
  auto put32 = [&bmp](std::uint32_t v) { bmp.append(reinterpret_cast<const char*>(&v), 4); };
  put32(std::uint32_t(fileSize));
  put32(0);
  put32(std::uint32_t(offset));
  bmp.append(dib.data(), qsizetype(dib.size()));
  return bmp;
}

// How far after kMaxBodyHtmlChars a cut may go to end after a block.
constexpr qsizetype kCutSlack = 1024 * 1024;

// The length of the longest start of utf8 that is whole characters and makes at most about
// units UTF-16 code units (at least that many when utf8 is longer). A character of four bytes
// makes two; a stray byte, which the conversion replaces, is counted as none, so the
// conversion may make more, never fewer.
std::size_t Utf8PrefixForUnits(std::string_view utf8, qsizetype units) {
  qsizetype made = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if ((b & 0xC0) == 0x80) continue;  // inside a character
    if (made >= units) return i;
    made += b >= 0xF0 ? 2 : 1;
  }
  return utf8.size();
}

TBodyPicture BodyPicture(const TRtfPicture& picture) {
  TBodyPicture out;
  const auto bytes = [&picture] { return QByteArray(picture.Bytes.data(), qsizetype(picture.Bytes.size())); };
  switch (picture.Format) {
    case TPictureFormat::Png: out = {bytes(), QStringLiteral(".png")}; break;
    case TPictureFormat::Jpeg: out = {bytes(), QStringLiteral(".jpg")}; break;
    case TPictureFormat::Gif: out = {bytes(), QStringLiteral(".gif")}; break;
    case TPictureFormat::Emf: out = {bytes(), QStringLiteral(".emf")}; break;
    case TPictureFormat::Wmf: out = {bytes(), QStringLiteral(".wmf")}; break;
    case TPictureFormat::Bmp: out = {bytes(), QStringLiteral(".bmp")}; break;
    case TPictureFormat::Dib: out = {DibToBmp(picture.Bytes), QStringLiteral(".bmp")}; break;
    case TPictureFormat::Unknown: break;
  }
  return out;
}

// RTF (with the HTML or text it may wrap), HTML and plain-text bodies all become one
// sanitised HTML fragment here.
TMessageBodyView BodyView(TRtfConversion&& body, bool partial) {
  TMessageBodyView view;
  view.Partial = partial;
  // Only what the pane can keep is turned into UTF-16: the first kMaxBodyHtmlChars and the
  // room to look for a block's end after them.
  const std::size_t bytes = Utf8PrefixForUnits(body.Html, kMaxBodyHtmlChars + kCutSlack + 1);
  const bool more = bytes < body.Html.size();
  view.Html = QString::fromUtf8(body.Html.data(), qsizetype(bytes));
  // The UTF-8 is not needed past here; a long body's would otherwise be held beside it.
  std::string().swap(body.Html);
  qsizetype keep = view.Html.size();
  if (more || keep > kMaxBodyHtmlChars) {
    keep = BodyHeadLength(view.Html, kMaxBodyHtmlChars, kCutSlack);
    view.Truncated = true;
  }
  if (body.Truncated) view.Truncated = true;
  if (view.Truncated) {
    // Written once into a string of its final size: putting the notice before the kept part
    // in place would copy it into a string grown with room to spare, beside the whole.
    const QString notice = QStringLiteral("<p style=\"background-color:#fff4ce;color:#000000\">") +
                           Utf8(LoadResString(TStringId::BodyCutShort)).toHtmlEscaped() + QStringLiteral("</p>");
    QString html;
    html.reserve(notice.size() + keep);
    html += notice;
    html += QStringView(view.Html).first(keep);
    view.Html = std::move(html);
  }
  if (body.Source == TBodySource::Html || body.Source == TBodySource::RtfEncapsulatedHtml) view.BasePixelSize = 16;
  for (std::size_t i = 0; i < body.Pictures.size(); ++i) {
    const QString address = Utf8(std::string(kPictureScheme)) + QString::number(body.Pictures[i].Id);
    TBodyPicture picture = BodyPicture(body.Pictures[i]);
    if (!picture.Bytes.isEmpty()) view.Pictures.emplace(address, std::move(picture));
  }
  return view;
}

}  // namespace

TMessageBodyView MessageBodyHtml(TTNEFReader& reader, std::size_t firstBytes) {
  bool partial = false;
  TRtfConversion body = ConvertMessageBody(reader, TBodyOutputs::Html, firstBytes, &partial);
  return BodyView(std::move(body), partial);
}

TMessageBodyView MessageBodyHtml(const TTNEFReader& reader, const TBodyAttachments& attachments,
                                 const std::atomic<bool>* stop) {
  return BodyView(ConvertMessageBody(reader, attachments, TBodyOutputs::Html, std::string_view::npos, nullptr, stop),
                  false);
}
