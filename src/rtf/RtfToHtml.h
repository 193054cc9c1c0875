#pragma once
// The message pane's body: RTF (or HTML wrapped in RTF, or plain text) converted to HTML for a
// read-only rich-text view, with its plain text and the pictures it carries. No Qt; the HTML is
// already sanitised: no script, no event handlers, no forms or embedded objects, and nothing
// that would make the view fetch from the network.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Scheme of the picture references in the HTML: <img src="velquin-pict:N"> names
// TRtfConversion::Pictures[N]; the view resolves it to the picture's bytes.
inline constexpr std::string_view kPictureScheme = "velquin-pict:";

enum class TPictureFormat { Png, Jpeg, Gif, Emf, Wmf, Dib, Bmp, Unknown };

// One picture found in the body: its bytes and the size it is shown at.
struct TRtfPicture {
  int Id = 0;                 // N of "velquin-pict:N"; equals the index in Pictures
  TPictureFormat Format = TPictureFormat::Unknown;
  // The picture file's bytes. A \dibitmap comes out as a .bmp file (Bmp), a \wmetafile with
  // a placeable header when the body gives its size; Dib means info header and pixels only.
  std::string Bytes;
  int WidthPx = 0;            // display size at 96 dpi; 0 when the body gives none
  int HeightPx = 0;
  std::string ContentId;      // for pictures taken from attachments (cid: references)
};

// Where the HTML came from.
enum class TBodySource { PlainText, Rtf, RtfEncapsulatedHtml, RtfEncapsulatedText, Html };

struct TRtfConversion {
  std::string Html;   // UTF-8 HTML fragment (a <div> or the body's own markup), sanitised
  std::string Text;   // UTF-8 plain text, lines separated by '\n'
  std::vector<TRtfPicture> Pictures;
  TBodySource Source = TBodySource::PlainText;
  std::string PageColor;   // "#rrggbb" when the document paints its page (\background), else empty
  bool Truncated = false;  // the output reached its bound and the rest of the body was dropped
};

// Which of a conversion's outputs to build: a caller that needs only the plain text (or only
// the HTML) is spared the cost of the other, which is then left empty.
enum class TBodyOutputs { HtmlAndText, Html, Text };

// Converts a body given as bytes. Input that does not start with "{\rtf" is plain text in
// codePage. codePage is also the default for RTF that names no \ansicpg.
TRtfConversion RtfToHtml(std::string_view bytes, unsigned codePage = 1252,
                         TBodyOutputs outputs = TBodyOutputs::HtmlAndText);

// Plain text (UTF-8) to HTML: escaped, line breaks kept.
std::string PlainTextToHtml(std::string_view utf8);

// Escapes &, <, >, " for HTML text and attribute values.
std::string HtmlEscape(std::string_view utf8);

// Display name of a picture format ("png", "jpeg", ...) and its MIME type.
const char* PictureFormatName(TPictureFormat format);
const char* PictureMimeType(TPictureFormat format);
