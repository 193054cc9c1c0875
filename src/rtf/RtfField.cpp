#include "RtfField.h"

#include <cctype>
#include <vector>

namespace {

// Instructions are short; a longer one is not a link anyone wrote.
constexpr std::size_t kMaxWords = 16;

}  // namespace

std::string HyperlinkTarget(std::string_view instruction) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < instruction.size() && words.size() < kMaxWords) {
    while (i < instruction.size() && std::isspace(static_cast<unsigned char>(instruction[i]))) ++i;
    if (i >= instruction.size()) break;
    std::string word;
    if (instruction[i] == '"') {
      ++i;
      while (i < instruction.size() && instruction[i] != '"') word += instruction[i++];
      ++i;
      words.push_back(word);
    } else {
      while (i < instruction.size() && !std::isspace(static_cast<unsigned char>(instruction[i])))
        word += instruction[i++];
      words.push_back(word);
    }
  }
  if (words.empty()) return {};
  std::string first = words[0];
  for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (first != "HYPERLINK") return {};
  std::string target, anchor;
  for (std::size_t k = 1; k < words.size(); ++k) {
    const std::string& w = words[k];
    if (w.size() == 2 && w[0] == '\\') {
      const char sw = static_cast<char>(std::tolower(static_cast<unsigned char>(w[1])));
      if (sw == 'l' && k + 1 < words.size()) anchor = words[++k];
      else if ((sw == 'o' || sw == 't') && k + 1 < words.size()) ++k;
      continue;
    }
    if (target.empty()) target = w;
  }
  if (!anchor.empty()) target += "#" + anchor;
  return target;
}

