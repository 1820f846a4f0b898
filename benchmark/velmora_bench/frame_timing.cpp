// Series summaries for the frame section.
#include "benchmark/velmora_bench/frame_timing.h"

#include <algorithm>
#include <cmath>
#include <ctime>

double Series::percentile(double p) const {
  if (samples.empty()) return -1;
  std::vector<double> sorted = samples;
  std::sort(sorted.begin(), sorted.end());
  // Nearest rank: the smallest sample with at least p percent of the series at or below it.
  const double rank = std::ceil(p / 100.0 * static_cast<double>(sorted.size()));
  const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
  return sorted[std::min(index, sorted.size() - 1)];
}

double processCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}
