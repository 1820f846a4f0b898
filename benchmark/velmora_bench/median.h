// The median, the one summary of a series of timings that every section of the
// benchmark reports.
#pragma once

#include <algorithm>
#include <vector>

// The middle value, or the mean of the two middle ones of an even count; -1
// for no values. The values are put in order on the way.
inline double medianOf(std::vector<double>& values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
