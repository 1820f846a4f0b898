// Timing for the loading sections: wall-clock seconds of one call, medians of several.
#pragma once

#include <chrono>

#include "benchmark/velmora_bench/median.h"

template <typename F>
double secondsOf(F&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Megabytes (10^6 bytes) per second.
inline double megabytesPerSecond(double bytes, double seconds) { return seconds > 0 ? bytes / 1e6 / seconds : -1; }
