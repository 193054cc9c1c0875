#include "LargeBuffer.h"

// Large pages on Windows need a privilege that ordinary users lack; a plain reservation.
void ReserveLarge(std::string& s, std::size_t capacity) { s.reserve(capacity); }
void AdviseLargePages(void*, std::size_t) {}
