#pragma once
// The conversions behind RtfToHtml and ConvertMessageBody, with a hook that finds the pictures
// an HTML body references by Content-ID (the message's attachments).

#include <functional>
#include <string_view>

#include "ConversionStop.h"
#include "RtfToHtml.h"

// Fills picture.Bytes and picture.Format for a Content-ID; false when there is none.
using TCidLookup = std::function<bool(std::string_view contentId, TRtfPicture& picture)>;

// outputs: which of Html and Text to build; the other is left empty. stop (when given): the
// conversion throws TConversionStopped once it is set.
TRtfConversion ConvertRtfBody(std::string_view bytes, unsigned codePage, const TCidLookup& lookup,
                              TBodyOutputs outputs = TBodyOutputs::HtmlAndText, const TStopFlag* stop = nullptr);
// utf8Html: an HTML document already decoded to UTF-8.
TRtfConversion ConvertHtmlBody(std::string_view utf8Html, const TCidLookup& lookup,
                               TBodyOutputs outputs = TBodyOutputs::HtmlAndText, const TStopFlag* stop = nullptr);

// The picture format named by a file's first bytes, else by its name's extension.
TPictureFormat SniffPictureFormat(std::string_view bytes, std::string_view name);
