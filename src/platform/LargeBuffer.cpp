#include "LargeBuffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

constexpr std::size_t kLargePage = std::size_t(2) << 20;

}  // namespace

void ReserveLarge(std::string& s, std::size_t capacity) {
  s.reserve(capacity);
  AdviseLargePages(s.data(), s.capacity());
}

void AdviseLargePages(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  if (size < 2 * kLargePage) return;
  // Only the whole large pages inside the allocation; a refusal only costs the speed-up.
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}
