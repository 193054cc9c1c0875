#pragma once
// Reservation of large output buffers (decoded bodies, converted pages), which are written
// once from start to end.

#include <cstddef>
#include <string>

// s.reserve(capacity); for a buffer of megabytes also asks the kernel to back it with large
// pages where it can, so that filling it takes a few page faults instead of one per 4 KB.
void ReserveLarge(std::string& s, std::size_t capacity);

// The same advice for a buffer of size bytes at data that is allocated already.
void AdviseLargePages(void* data, std::size_t size);
