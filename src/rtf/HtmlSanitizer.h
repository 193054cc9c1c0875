#pragma once
// Reduces an HTML document to what the read-only message pane may show: a whitelist of
// text-formatting elements and attributes, styles without anything that loads or runs, links
// only to web and mail addresses, and images only from the body's own pictures. A remote image
// becomes a link the user may follow in the browser.

#include <functional>
#include <string>
#include <string_view>

#include "ConversionStop.h"

// Given an <img> src, returns the src the pane should use ("velquin-pict:N") or an empty
// string when the message holds no such picture.
using TImageResolver = std::function<std::string(std::string_view src)>;

// stop (when given): throws TConversionStopped once it is set.
std::string SanitizeHtml(std::string_view utf8, const TImageResolver& resolveImage, const TStopFlag* stop = nullptr);

// Filters one style attribute's declarations; empty when nothing safe is left.
std::string SanitizeStyle(std::string_view css);
