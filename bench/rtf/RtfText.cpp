// Prints the plain text (or with --html, the page) the converter makes of an RTF file; the
// fidelity script compares this text with another converter's.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "RtfToHtml.h"

int main(int argc, char** argv) {
  const bool html = argc == 3 && std::strcmp(argv[1], "--html") == 0;
  if (argc != 2 && !html) {
    std::fprintf(stderr, "usage: velquin_rtf_text [--html] FILE\n");
    return 2;
  }
  std::ifstream in(argv[argc - 1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", argv[argc - 1]);
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const TRtfConversion r = RtfToHtml(bytes);
  std::cout << (html ? r.Html : r.Text);
  return 0;
}
