// Times RtfToHtml on generated bodies of growing size and prints milliseconds and the cost
// per megabyte; a flat cost per megabyte is linear growth. The bodies mix what real mail
// carries: formatted runs, escapes, Unicode, a table, links and a picture, or encapsulated HTML.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <utility>
#include <string>

#include "RtfToHtml.h"

namespace {

std::string RichBody(std::size_t bytes) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
      "{\\colortbl;\\red255\\green0\\blue0;}\\uc1\\pard\\sa120 ";
  for (int i = 0; rtf.size() < bytes; ++i) {
    rtf += "Plain words with caf\\'e9, na\\'efve and \\u8364? prices; {\\b bold} {\\i italic} "
           "{\\cf1\\fs28 red} {\\f1 code}.\\par\n";
    if (i % 20 == 0)
      rtf += "{\\field{\\*\\fldinst HYPERLINK \"http://example.com/\"}{\\fldrslt link}}\\par\n"
             "\\trowd\\cellx2000\\cellx4000\\pard\\intbl cell one\\cell cell two\\cell\\row\\pard\n";
    if (i % 200 == 0) rtf += "{\\pict\\pngblip\\picwgoal300\\pichgoal300 " + std::string(512, 'a') + "}\\par\n";
  }
  return rtf + "}";
}

std::string EncapsulatedBody(std::size_t bytes) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 \\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                    "{\\*\\htmltag19 <html>}{\\*\\htmltag50 <body>}";
  while (rtf.size() < bytes)
    rtf += "{\\*\\htmltag64 <p class=MsoNormal>}\\htmlrtf {\\htmlrtf0 Text with caf\\'e9 "
           "{\\*\\htmltag84 <b>}\\htmlrtf {\\b \\htmlrtf0 bold{\\*\\htmltag92 </b>}\\htmlrtf }\\htmlrtf0 "
           "and more words\\htmlrtf\\par}\\htmlrtf0{\\*\\htmltag72 </p>}\n";
  return rtf + "{\\*\\htmltag58 </body>}{\\*\\htmltag27 </html>}}";
}

// Best of five, in wall-clock and in processor time: on a shared machine the second is the
// steadier figure.
std::pair<double, double> BestMilliseconds(const std::string& rtf) {
  double wall = 1e9, cpu = 1e9;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    const TRtfConversion r = RtfToHtml(rtf);
    const std::clock_t cpuEnd = std::clock();
    const auto end = std::chrono::steady_clock::now();
    if (r.Html.empty()) std::puts("empty output");
    wall = std::min(wall, std::chrono::duration<double, std::milli>(end - start).count());
    cpu = std::min(cpu, 1000.0 * static_cast<double>(cpuEnd - cpuStart) / CLOCKS_PER_SEC);
  }
  return {wall, cpu};
}

}  // namespace

int main() {
  std::printf("%-10s %9s %9s %9s %11s\n", "body", "bytes", "wall ms", "cpu ms", "cpu ms/MB");
  for (const auto& [name, make] : {std::pair{"rtf", &RichBody}, std::pair{"fromhtml", &EncapsulatedBody}}) {
    for (std::size_t kb : {256, 512, 1024, 2048, 4096}) {
      const std::string rtf = make(kb * 1024);
      const auto [wall, cpu] = BestMilliseconds(rtf);
      std::printf("%-10s %9zu %9.2f %9.2f %11.2f\n", name, rtf.size(), wall, cpu,
                  cpu / (static_cast<double>(rtf.size()) / 1048576.0));
    }
  }
  return 0;
}
