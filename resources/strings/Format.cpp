#include "Format.h"

#include <string>

std::string FormatText(std::string_view fmt, std::initializer_list<TFormatArg> args) {
  std::string out;
  out.reserve(fmt.size() + 32);
  auto next = args.begin();
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    const char c = fmt[i];
    if (c != '%' || i + 1 >= fmt.size()) {
      out += c;
      continue;
    }
    const char conversion = fmt[i + 1];
    if (conversion == '%') {
      out += '%';
      ++i;
      continue;
    }
    if ((conversion != 's' && conversion != 'd') || next == args.end()) {
      out += c;
      continue;
    }
    if (const auto* s = std::get_if<std::string_view>(&*next))
      out += *s;
    else
      out += std::to_string(std::get<std::int64_t>(*next));
    ++next;
    ++i;
  }
  return out;
}
