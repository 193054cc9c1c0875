#pragma once
// Milliseconds since the process started, from the kernel's start time in clock ticks: the
// start-up benchmarks count the loading of the program and its libraries too.

#include <time.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

inline double MsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string content((std::istreambuf_iterator<char>(stat)), {});
  const auto close = content.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(content.substr(close + 2));
  std::string field;
  unsigned long long start = 0;
  for (int i = 3; i <= 22 && rest >> field; ++i)
    if (i == 22) start = std::stoull(field);
  std::ifstream uptimeFile("/proc/uptime");
  double uptime = 0;
  uptimeFile >> uptime;
  return (uptime - double(start) / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}

// Processor time (user and system) the process has used since it started, in ms: on a
// machine shared with other work, the steadier measure of start-up cost.
inline double CpuMsSinceProcessStart() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}
