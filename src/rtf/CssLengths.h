#pragma once
// The text engine of the message pane honours lengths in px only; mail writers use pt, in, cm,
// mm, pc and em. These are rewritten to px at 96 dots per inch.

#include <string>
#include <string_view>

// Rewrites every length in declarations or a style sheet to px. em counts as 16 px, the
// body's base size, except in font-size, where it stays relative to the parent's size.
// Weights below normal (100 to 300, lighter) become normal, so that text the light face
// lacks glyphs for still finds them.
std::string CssLengthsToPx(std::string_view css);
