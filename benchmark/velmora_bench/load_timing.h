// Timing for the loading sections: wall-clock seconds of one call, medians of several.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

template <typename F>
double secondsOf(F&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median; the values are put in order on the way.
inline double medianOf(std::vector<double>& values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Megabytes (10^6 bytes) per second.
inline double megabytesPerSecond(double bytes, double seconds) { return seconds > 0 ? bytes / 1e6 / seconds : -1; }
