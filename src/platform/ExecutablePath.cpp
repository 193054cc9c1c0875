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

#ifndef VELQUIN_LIBDIR
#define VELQUIN_LIBDIR "lib"
#endif

std::string InstalledModulePath(const std::string& fileName) {
  const std::string exe = ExecutablePath();
  const auto slash = exe.rfind('/');
  if (exe.empty() || exe[0] != '/' || slash == std::string::npos) return "";
  const std::string bin = exe.substr(0, slash);
  const auto up = bin.rfind('/');
  const std::string prefix = up == std::string::npos ? "" : bin.substr(0, up);
  return prefix + "/" VELQUIN_LIBDIR "/velquin-reader/" + fileName;
}
