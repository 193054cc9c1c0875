#include <cstdint>
#include <string>
#include <string_view>

#include "CompressedRtf.h"
#include "Exception.h"

namespace {

// A prefix is the whole decode's start, or (for a stream the whole decode refuses) at most
// limit bytes or a refusal.
void CheckPrefix(std::string_view input, std::size_t limit, const std::string* whole) {
  try {
    const std::string prefix = DecompressRTFPrefix(input, limit);
    if (prefix.size() > limit) __builtin_trap();
    if (whole && prefix != std::string_view(*whole).substr(0, limit)) __builtin_trap();
  } catch (const Exception&) {
    if (whole) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string out;
  bool decoded = false;
  try {
    out = DecompressRTF(input);
    decoded = true;
    // Output never exceeds what the input can justify.
    if (out.size() > size * 9 + 64) __builtin_trap();
    if (out.size() != CompressedRtfRawSize(input)) __builtin_trap();
  } catch (const Exception&) {
  }
  // Limits from none to past the end, one of them taken from the input's last byte so that
  // the fuzzer steers it.
  const std::size_t steered = size == 0 ? 0 : std::size_t(data[size - 1]) * 67;
  for (std::size_t limit : {std::size_t(0), std::size_t(1), steered, out.size() / 2, out.size() + 1})
    CheckPrefix(input, limit, decoded ? &out : nullptr);
  return 0;
}
