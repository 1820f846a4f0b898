// Series summaries for the frame section.
#include "bench/velmora_bench/frame_timing.h"

#include <algorithm>
#include <cmath>

double Series::percentile(double p) const {
  if (samples.empty()) return -1;
  std::vector<double> sorted = samples;
  std::sort(sorted.begin(), sorted.end());
  // Nearest rank: the smallest sample with at least p percent of the series at or below it.
  const double rank = std::ceil(p / 100.0 * static_cast<double>(sorted.size()));
  const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
  return sorted[std::min(index, sorted.size() - 1)];
}
