#pragma once
// A long conversion that another thread may call off: the thread that asked for it sets the
// flag, and the conversion, which looks at it now and then, ends by throwing
// TConversionStopped. Nothing half made is handed on: the caller catches it and drops the lot.

#include <atomic>
#include <exception>

using TStopFlag = std::atomic<bool>;

struct TConversionStopped : std::exception {
  const char* what() const noexcept override { return "conversion stopped"; }
};

// How many steps (tokens, tags) a conversion takes between two looks at its flag: rare enough
// to cost nothing, often enough to end within a millisecond or so.
inline constexpr unsigned kStepsBetweenStopChecks = 4096;

// Counts one step, and throws once stop (when given) is set; steps is the caller's counter.
inline void StopPoint(const TStopFlag* stop, unsigned& steps) {
  if (stop != nullptr && ++steps % kStepsBetweenStopChecks == 0 && stop->load(std::memory_order_relaxed))
    throw TConversionStopped();
}
