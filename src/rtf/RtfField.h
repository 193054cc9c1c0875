#pragma once
// Field instructions (\fldinst): the target of a HYPERLINK field.

#include <string>
#include <string_view>

// "HYPERLINK "target" [\l "anchor"] [\o "tip"] ..." gives target#anchor (or #anchor); any
// other field gives an empty string. The target is not checked here (see SafeLinkTarget).
std::string HyperlinkTarget(std::string_view instruction);
