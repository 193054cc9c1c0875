#pragma once
// Text from a file made safe to print for people: a terminal acts on control characters
// (ESC starts a command sequence) and bidi overrides reorder what follows them, so a name
// or subject could rewrite the screen or pass for another name. Such characters are shown
// as visible escapes instead ("\x1b", "\u202e"); bytes that are not UTF-8 likewise.

#include <string>
#include <string_view>

enum class TLineBreaks {
  Keep,    // tab and newline pass (running text such as a body)
  Escape,  // tab and newline become "\t" and "\n" (one field on one line)
};

std::string TextForTerminal(std::string_view utf8, TLineBreaks breaks);
