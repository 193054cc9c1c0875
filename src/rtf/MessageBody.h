#pragma once
// The body a message pane shows for one TNEF message: the RTF body when there is one, else
// the HTML body, else the plain-text body, converted to sanitised HTML, plain text and
// pictures. cid: images of HTML bodies are taken from the message's attachments.

#include "RtfToHtml.h"

class TTNEFReader;

// Reads cid: pictures from the reader's file (the reader's stream position is restored).
// outputs: which of Html and Text to build; the other is left empty.
// firstBytes: convert only about the body's first firstBytes bytes, cut where no character
// or tag is split, for a quick look at its start; partial (when given) tells whether the
// body was cut.
TRtfConversion ConvertMessageBody(TTNEFReader& reader, TBodyOutputs outputs = TBodyOutputs::HtmlAndText,
                                  std::size_t firstBytes = std::string_view::npos, bool* partial = nullptr);

// An HTML body given as bytes, without a message around it: its charset comes from its own
// <meta> tag, else codePage (isUtf8: the bytes are UTF-8). cid: pictures have no attachments
// to come from here and are left out; data: pictures are kept.
TRtfConversion HtmlBodyToHtml(std::string_view bytes, bool isUtf8, unsigned codePage);
