// Timing for the frame section: a monotonic clock and series of samples
// summarised by their median and 95th percentile.
#pragma once

#include <chrono>
#include <vector>

#include "benchmark/velmora_bench/median.h"

using BenchClock = std::chrono::steady_clock;

// Milliseconds between two clock readings.
inline double millisecondsBetween(BenchClock::time_point from, BenchClock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// CPU time of the whole process (every thread: the program's and llvmpipe's
// rasterisers), in milliseconds. Steadier than wall time on a shared machine.
double processCpuMilliseconds();

struct Series {
  std::vector<double> samples;  // milliseconds

  void add(double ms) { samples.push_back(ms); }
  double median() const {
    std::vector<double> sorted = samples;
    return medianOf(sorted);
  }
  double p95() const { return percentile(95); }
  // Nearest-rank percentile; -1 for an empty series.
  double percentile(double p) const;
};
