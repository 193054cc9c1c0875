#include <cstdint>
#include <string_view>

#include "Exception.h"
#include "Recipients.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view table(reinterpret_cast<const char*>(data), size);
  try {
    // The first byte picks the code page, so both the UTF-16 and the eight-bit paths are hit.
    const unsigned codePage = size > 0 && (data[0] & 1) ? 932 : 1252;
    const auto rows = DecodeRecipientTable(table, codePage);
    // Every kept row stands for bytes of its own: the list never outgrows its input.
    if (rows.size() > size / 4 + 1) __builtin_trap();
  } catch (const Exception&) {
  }
  return 0;
}
