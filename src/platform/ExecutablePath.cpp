#include "ExecutablePath.h"

#include <unistd.h>

#include <vector>

std::string ExecutablePath() {
  // /proc/self/exe is a link to the executable; PATH_MAX-sized buffers are not enough on
  // every file system, so grow until readlink no longer fills the buffer.
  for (std::size_t size = 1024; size <= 65536; size *= 4) {
    std::vector<char> buffer(size);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return "";
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
  }
  return "";
}
