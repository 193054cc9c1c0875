#include <cstdint>
#include <string_view>

#include "Exception.h"
#include "MapiAttrs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const TMAPI_Attrs attrs =
        DecodeMAPIAttrs(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& attr : attrs)
      if (attr.Count > 0 && attr.Values.size() != static_cast<std::size_t>(attr.Count)) __builtin_trap();
  } catch (const Exception&) {
  }
  return 0;
}
