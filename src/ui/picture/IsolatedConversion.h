#pragma once
// Runs a converter of untrusted bytes in a child process, so that a fault in a third-party
// decoder (a crash, a hang, a runaway allocation) costs one preview and not the program.
// The metafile libraries are old C code that fuzzing breaks quickly; this is their fence.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct TIsolationLimits {
  int TimeoutMs = 10'000;
  std::size_t MaxOutputBytes = 256u * 1024 * 1024;
  // Address space of the child (not applied under AddressSanitizer, which reserves terabytes).
  std::uint64_t MaxMemoryBytes = 2ull * 1024 * 1024 * 1024;
};

// Calls convert(out) in a forked child and hands its output back. False when the converter
// returned false, crashed, ran past the time limit or produced more than the limit allows.
bool RunIsolated(const std::function<bool(std::string&)>& convert, std::string& out,
                 const TIsolationLimits& limits = {});

// WmfToSvg and EmfToSvg, each behind RunIsolated.
bool WmfToSvgIsolated(const std::uint8_t* data, std::size_t size, std::string& svg);
bool EmfToSvgIsolated(const std::uint8_t* data, std::size_t size, std::string& svg);
