#include "CssLengths.h"

#include <cctype>
#include <cmath>
#include <string>

namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#' || c == '-'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// px per unit; 0 for units left as they are.
double PxPerUnit(std::string_view unit, bool fontSize) {
  std::string u(unit);
  for (char& c : u) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (u == "pt") return 96.0 / 72.0;
  if (u == "in") return 96.0;
  if (u == "cm") return 96.0 / 2.54;
  if (u == "mm") return 96.0 / 25.4;
  if (u == "pc") return 16.0;
  if (u == "em" && !fontSize) return 16.0;
  return 0;
}

// Weights below normal. Light faces often cover fewer scripts than the regular one (a light
// Latin face holds no Hebrew), and the engine's fallback keeps the weight, so text in them
// would show as boxes; they are shown at normal weight instead.
bool LightWeight(std::string_view value) {
  while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front()))) value.remove_prefix(1);
  while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.remove_suffix(1);
  std::string v(value);
  for (char& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (v.size() > 12 && v.compare(v.size() - 10, 10, "!important") == 0) v.erase(v.size() - 10);
  while (!v.empty() && std::isspace(static_cast<unsigned char>(v.back()))) v.pop_back();
  return v == "100" || v == "200" || v == "300" || v == "lighter";
}

std::string Px(double px) {
  // Whole pixels, as the engine uses them; a thin but visible line stays visible.
  long rounded = std::lround(px);
  if (rounded == 0 && px > 0) rounded = 1;
  if (rounded == 0 && px < 0) rounded = -1;
  return std::to_string(rounded) + "px";
}

}  // namespace

std::string CssLengthsToPx(std::string_view css) {
  std::string out;
  out.reserve(css.size());
  std::size_t declStart = 0;  // where the current property name begins in css
  bool fontSize = false;
  bool fontShorthand = false;
  std::size_t i = 0;
  while (i < css.size()) {
    const char c = css[i];
    if (c == ';' || c == '{' || c == '}') declStart = i + 1;
    if (c == ':') {
      std::string name(css.substr(declStart, i - declStart));
      std::string trimmed;
      for (char n : name)
        if (!std::isspace(static_cast<unsigned char>(n))) trimmed += static_cast<char>(std::tolower(static_cast<unsigned char>(n)));
      fontSize = trimmed == "font-size" || trimmed == "font";
      fontShorthand = trimmed == "font";
      if (trimmed == "font-weight") {
        std::size_t end = css.find_first_of(";}", i + 1);
        if (end == std::string_view::npos) end = css.size();
        if (LightWeight(css.substr(i + 1, end - i - 1))) {
          out += ":normal";
          i = end;
          continue;
        }
      }
    }
    // A number starts a length only at the start of a word (not inside "#1f2e3d" or "h1").
    const bool wordStart = i == 0 || !IsWordChar(css[i - 1]) || (css[i - 1] == '-' && (i < 2 || !IsWordChar(css[i - 2])));
    if (wordStart && (IsDigit(c) || (c == '.' && i + 1 < css.size() && IsDigit(css[i + 1])))) {
      std::size_t j = i;
      while (j < css.size() && IsDigit(css[j])) ++j;
      if (j < css.size() && css[j] == '.') {
        ++j;
        while (j < css.size() && IsDigit(css[j])) ++j;
      }
      std::size_t k = j;
      while (k < css.size() && k - j < 3 && std::isalpha(static_cast<unsigned char>(css[k]))) ++k;
      const double factor = (k == css.size() || !IsWordChar(css[k])) ? PxPerUnit(css.substr(j, k - j), fontSize) : 0;
      if (fontShorthand && k == j && LightWeight(css.substr(i, j - i))) {
        out += "normal";
      } else if (factor > 0) {
        out += Px(std::strtod(std::string(css.substr(i, j - i)).c_str(), nullptr) * factor);
      } else {
        out.append(css, i, k - i);
      }
      i = k;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}
