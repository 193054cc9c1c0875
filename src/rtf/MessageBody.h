#pragma once
// The body a message pane shows for one TNEF message: the RTF body when there is one, else
// the HTML body, else the plain-text body, converted to sanitised HTML, plain text and
// pictures. cid: images of HTML bodies are taken from the message's attachments.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ConversionStop.h"
#include "RtfToHtml.h"

class TFileStream;
class TTNEFReader;

// What a body's cid: pictures are looked for in, taken from a message's attachments on the
// thread that owns the reader: their names (an attached message's is read on first use) and
// where their bytes lie. A conversion given this on another thread reads the bytes itself,
// without the file's shared position, and touches no state of the attachments.
struct TBodyAttachment {
  std::string ContentId;
  std::string DisplayName;
  std::string FileName;
  std::int64_t Offset = 0;
  std::uint32_t Size = 0;
};
struct TBodyAttachments {
  std::shared_ptr<const TFileStream> File;  // kept open while a conversion reads it
  std::vector<TBodyAttachment> Files;
};
TBodyAttachments BodyAttachments(const TTNEFReader& reader);

// Reads cid: pictures from the reader's file (leaving the file's position alone).
// outputs: which of Html and Text to build; the other is left empty.
// firstBytes: convert only about the body's first firstBytes bytes, cut where no character
// or tag is split, for a quick look at its start; partial (when given) tells whether the
// body was cut.
TRtfConversion ConvertMessageBody(TTNEFReader& reader, TBodyOutputs outputs = TBodyOutputs::HtmlAndText,
                                  std::size_t firstBytes = std::string_view::npos, bool* partial = nullptr);
// The same for a conversion on a thread other than the reader's: cid: pictures come from
// attachments (see BodyAttachments), and of the reader only what is safe beside the owning
// thread's work is used (its bodies, decoded once whichever thread asks first). stop (when
// given): the conversion throws TConversionStopped once it is set.
TRtfConversion ConvertMessageBody(const TTNEFReader& reader, const TBodyAttachments& attachments,
                                  TBodyOutputs outputs = TBodyOutputs::HtmlAndText,
                                  std::size_t firstBytes = std::string_view::npos, bool* partial = nullptr,
                                  const TStopFlag* stop = nullptr);

// An HTML body given as bytes, without a message around it: its charset comes from its own
// <meta> tag, else codePage (isUtf8: the bytes are UTF-8). cid: pictures have no attachments
// to come from here and are left out; data: pictures are kept.
TRtfConversion HtmlBodyToHtml(std::string_view bytes, bool isUtf8, unsigned codePage);
