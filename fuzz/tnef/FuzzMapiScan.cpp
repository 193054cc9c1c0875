#include <cstdint>
#include <string_view>

#include "Exception.h"
#include "MapiAttrs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view block(reinterpret_cast<const char*>(data), size);
  try {
    ScanMessageProps(block, [&](std::uint32_t, std::string_view value) {
      // Values handed are views into the block.
      if (!value.empty() && (value.data() < block.data() ||
                             value.data() + value.size() > block.data() + block.size()))
        __builtin_trap();
    });
  } catch (const Exception&) {
  }
  return 0;
}
