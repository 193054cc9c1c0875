#pragma once
// Message bodies of a chosen size for the benchmarks: a mail's worth of words drawn from a
// small vocabulary, with the formatting a mail program writes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

inline const char* const kWords[] = {
    "the", "report", "quarterly", "figures", "meeting", "schedule", "please", "review",
    "attached", "budget", "invoice", "customer", "delivery", "project", "status", "update",
    "regards", "tomorrow", "deadline", "approval", "contract", "summary", "details", "team"};

// RTF text of about size bytes: paragraphs with bold numbers.
inline std::string MakeRtf(std::size_t size) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n";
  rtf.reserve(size + 64);
  std::uint32_t x = 12345;
  while (rtf.size() < size) {
    x = x * 1103515245 + 12345;
    const unsigned r = x >> 16;
    rtf += kWords[r % 24];
    rtf += (r % 11 == 0) ? "\\par\r\n" : (r % 7 == 0) ? " {\\b " + std::to_string(r % 1000) + "} " : " ";
  }
  return rtf + "}";
}

// HTML of about size bytes: styled paragraphs, now and then a small table, as a newsletter.
inline std::string MakeHtml(std::size_t size) {
  std::string html = "<html><head><style>p.MsoNormal{margin:0;font-family:Calibri}</style></head><body>";
  html.reserve(size + 256);
  std::uint32_t x = 54321;
  while (html.size() < size) {
    html += "<p class=MsoNormal><span style=\"font-size:11pt;color:#1F497D\">";
    for (int i = 0; i < 20; ++i) {
      x = x * 1103515245 + 12345;
      const unsigned r = x >> 16;
      if (r % 9 == 0) html += "<b>" + std::to_string(r % 1000) + "</b> ";
      html += kWords[r % 24];
      html += ' ';
    }
    html += "</span></p>\n";
    if (x % 13 == 0)
      html += "<table border=1 cellpadding=4><tr><td style=\"background:#eeeeee\">item</td><td>" +
              std::to_string(x % 97) + "</td></tr></table>\n";
  }
  return html + "</body></html>";
}

}  // namespace bench
