#include "RtfToHtml.h"

#include <cctype>
#include <map>
#include <string>

#include "BodyConversion.h"
#include "CodePage.h"
#include "HtmlSanitizer.h"
#include "HtmlText.h"
#include "RtfReader.h"

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::string DecodeBase64(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    int v;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    else if (c >= '0' && c <= '9') v = c - '0' + 52;
    else if (c == '+') v = 62;
    else if (c == '/') v = 63;
    else if (c == '=') break;
    else continue;
    buffer = (buffer << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((buffer >> bits) & 0xFF);
    }
  }
  return out;
}

std::string PercentDecode(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
      out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// Sanitises encapsulated or stand-alone HTML, taking cid: pictures through lookup and data:
// pictures from the document itself; each distinct source becomes one picture.
void FinishHtml(std::string_view html, const TCidLookup& lookup, TBodyOutputs outputs, const TStopFlag* stop,
                TRtfConversion& result) {
  std::map<std::string, std::string, std::less<>> seen;
  const TImageResolver resolve = [&](std::string_view src) -> std::string {
    TRtfPicture picture;
    const bool cid = StartsWithNoCase(src, "cid:");
    if (cid) picture.ContentId = PercentDecode(src.substr(4));
    // One picture per Content-ID however its references are spelt, else per address.
    const std::string key = cid ? "cid:" + picture.ContentId : std::string(src);
    if (auto it = seen.find(key); it != seen.end()) return it->second;
    bool found = false;
    if (cid) {
      found = lookup && lookup(picture.ContentId, picture);
    } else if (StartsWithNoCase(src, "data:image/")) {
      const auto comma = src.find(',');
      if (comma != std::string_view::npos && src.substr(0, comma).find(";base64") != std::string_view::npos) {
        picture.Bytes = DecodeBase64(src.substr(comma + 1));
        picture.Format = SniffPictureFormat(picture.Bytes, "");
        found = !picture.Bytes.empty();
      }
    }
    std::string local;
    if (found && !picture.Bytes.empty()) {
      picture.Id = static_cast<int>(result.Pictures.size());
      local = std::string(kPictureScheme) + std::to_string(picture.Id);
      result.Pictures.push_back(std::move(picture));
    }
    seen.emplace(key, local);
    return local;
  };
  if (outputs != TBodyOutputs::Text) result.Html = SanitizeHtml(html, resolve, stop);
  if (outputs != TBodyOutputs::Html) result.Text = HtmlToText(html);
}

}  // namespace

std::string HtmlEscape(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c; break;
    }
  }
  return out;
}

std::string PlainTextToHtml(std::string_view utf8) {
  std::string out = "<div style=\"white-space:pre-wrap\">";
  out.reserve(utf8.size() + 64);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '\r') {
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out += "<br>";
    } else if (c == '\n') {
      out += "<br>";
    } else if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else if (c != '\0') out += c;
  }
  out += "</div>\n";
  return out;
}

const char* PictureFormatName(TPictureFormat format) {
  switch (format) {
    case TPictureFormat::Png: return "png";
    case TPictureFormat::Jpeg: return "jpeg";
    case TPictureFormat::Gif: return "gif";
    case TPictureFormat::Emf: return "emf";
    case TPictureFormat::Wmf: return "wmf";
    case TPictureFormat::Dib: return "dib";
    case TPictureFormat::Bmp: return "bmp";
    default: return "unknown";
  }
}

const char* PictureMimeType(TPictureFormat format) {
  switch (format) {
    case TPictureFormat::Png: return "image/png";
    case TPictureFormat::Jpeg: return "image/jpeg";
    case TPictureFormat::Gif: return "image/gif";
    case TPictureFormat::Emf: return "image/emf";
    case TPictureFormat::Wmf: return "image/wmf";
    case TPictureFormat::Dib:
    case TPictureFormat::Bmp: return "image/bmp";
    default: return "application/octet-stream";
  }
}

TPictureFormat SniffPictureFormat(std::string_view b, std::string_view name) {
  if (b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) return TPictureFormat::Png;
  if (b.substr(0, 3) == "\xFF\xD8\xFF") return TPictureFormat::Jpeg;
  if (b.substr(0, 4) == "GIF8") return TPictureFormat::Gif;
  if (b.substr(0, 2) == "BM") return TPictureFormat::Bmp;
  if (b.size() >= 44 && b.substr(40, 4) == " EMF") return TPictureFormat::Emf;
  if (b.substr(0, 4) == "\xD7\xCD\xC6\x9A") return TPictureFormat::Wmf;
  const auto dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    const std::string_view ext = name.substr(dot);
    if (StartsWithNoCase(ext, ".png")) return TPictureFormat::Png;
    if (StartsWithNoCase(ext, ".jpg") || StartsWithNoCase(ext, ".jpeg")) return TPictureFormat::Jpeg;
    if (StartsWithNoCase(ext, ".gif")) return TPictureFormat::Gif;
    if (StartsWithNoCase(ext, ".bmp")) return TPictureFormat::Bmp;
    if (StartsWithNoCase(ext, ".emf")) return TPictureFormat::Emf;
    if (StartsWithNoCase(ext, ".wmf")) return TPictureFormat::Wmf;
  }
  return TPictureFormat::Unknown;
}

TRtfConversion ConvertRtfBody(std::string_view bytes, unsigned codePage, const TCidLookup& lookup,
                              TBodyOutputs outputs, const TStopFlag* stop) {
  TRtfConversion result;
  if (bytes.substr(0, 5) != "{\\rtf") {
    result.Source = TBodySource::PlainText;
    result.Text = IsValidUtf8(bytes) && codePage == 65001 ? std::string(UpToNul(bytes))
                                                          : CodePageToUtf8(bytes, codePage);
    if (outputs != TBodyOutputs::Text) result.Html = PlainTextToHtml(result.Text);
    if (outputs == TBodyOutputs::Html) result.Text.clear();
    return result;
  }
  TRtfReader reader(bytes, codePage, outputs, stop);
  TRtfReadResult read = reader.Read();
  result.Truncated = read.Truncated;
  if (read.EncapsulatedHtml) {
    result.Source = TBodySource::RtfEncapsulatedHtml;
    FinishHtml(read.Html, lookup, outputs, stop, result);
    return result;
  }
  result.Source = read.EncapsulatedText ? TBodySource::RtfEncapsulatedText : TBodySource::Rtf;
  result.PageColor = std::move(read.PageColor);
  result.Html = std::move(read.Html);
  result.Text = std::move(read.Text);
  result.Pictures = std::move(read.Pictures);
  return result;
}

TRtfConversion ConvertHtmlBody(std::string_view utf8Html, const TCidLookup& lookup, TBodyOutputs outputs,
                               const TStopFlag* stop) {
  TRtfConversion result;
  result.Source = TBodySource::Html;
  FinishHtml(utf8Html, lookup, outputs, stop, result);
  return result;
}

TRtfConversion RtfToHtml(std::string_view bytes, unsigned codePage, TBodyOutputs outputs) {
  return ConvertRtfBody(bytes, codePage, {}, outputs);
}
