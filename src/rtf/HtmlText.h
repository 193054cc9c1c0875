#pragma once
// Plain text of an HTML body, and the code page an HTML body declares for itself.

#include <string>
#include <string_view>

// The text a reader sees: blocks on their own lines, cells separated by tabs, white space
// collapsed outside <pre>, character references decoded; script, style and head content left out.
std::string HtmlToText(std::string_view utf8);

// The code page of the charset named by a <meta> tag in the first bytes of the document, or 0.
unsigned HtmlDeclaredCodePage(std::string_view html);

// The code page of a MIME charset name ("utf-8", "windows-1251", "koi8-r" ...), or 0.
unsigned CharsetNameToCodePage(std::string_view name);
