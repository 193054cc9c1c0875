#include <cstdint>
#include <string>
#include <string_view>

#include "CompressedRtf.h"
#include "Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const std::string out = DecompressRTF(std::string_view(reinterpret_cast<const char*>(data), size));
    // Output never exceeds what the input can justify.
    if (out.size() > size * 9 + 64) __builtin_trap();
  } catch (const Exception&) {
  }
  return 0;
}
