// Tolerant picture comparison for the visual and end-to-end tests.
#include "tests/visual/image_compare.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace visualtest {

namespace {

int channelDifference(const unsigned char* a, const unsigned char* b, int channel) {
  return std::abs(static_cast<int>(a[channel]) - static_cast<int>(b[channel]));
}

int largestDifference(const unsigned char* a, const unsigned char* b) {
  return std::max({channelDifference(a, b, 0), channelDifference(a, b, 1), channelDifference(a, b, 2)});
}

int sumDifference(const unsigned char* a, const unsigned char* b) {
  return channelDifference(a, b, 0) + channelDifference(a, b, 1) + channelDifference(a, b, 2);
}

}  // namespace

CompareResult compareImages(const RgbImage& expected, const RgbImage& actual, const CompareTolerance& tolerance) {
  CompareResult result;
  result.sameSize = expected.width == actual.width && expected.height == actual.height && !expected.empty();
  if (!result.sameSize) return result;

  long differing = 0;
  double total = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const unsigned char* e = expected.at(x, y);
      const unsigned char* a = actual.at(x, y);
      if (largestDifference(e, a) > tolerance.pixelThreshold) ++differing;
      total += sumDifference(e, a);
    }
  }
  const double pixels = static_cast<double>(expected.width) * expected.height;
  result.differingFraction = differing / pixels;
  result.meanDifference = total / (3 * pixels);

  // Cells at the right and bottom edges may be narrower; each is judged on its own pixels.
  for (int cy = 0; cy < expected.height; cy += tolerance.cellSize) {
    for (int cx = 0; cx < expected.width; cx += tolerance.cellSize) {
      const PixelRegion cell{cx, cy, std::min(tolerance.cellSize, expected.width - cx),
                             std::min(tolerance.cellSize, expected.height - cy)};
      const double mean = meanDifference(expected, actual, cell);
      if (mean > result.worstCellMean) {
        result.worstCellMean = mean;
        result.worstCell = cell;
      }
      const MeanColor e = meanColor(expected, cell);
      const MeanColor a = meanColor(actual, cell);
      const double shift = std::max({std::abs(e.r - a.r), std::abs(e.g - a.g), std::abs(e.b - a.b)});
      if (shift > result.worstCellShift) {
        result.worstCellShift = shift;
        result.worstShiftCell = cell;
      }
    }
  }
  result.passes = result.differingFraction <= tolerance.differingBudget &&
                  result.worstCellMean <= tolerance.cellMeanLimit && result.worstCellShift <= tolerance.cellShiftLimit;
  return result;
}

std::string describe(const CompareResult& result, const CompareTolerance& tolerance) {
  if (!result.sameSize) return "the pictures differ in size (or are empty)";
  char text[400];
  std::snprintf(text, sizeof text,
                "%.3f%% of pixels differ by more than %d (budget %.3f%%); cell at (%d, %d) differs by %.1f on "
                "average (limit %.1f); cell at (%d, %d) shifts its mean colour by %.1f (limit %.1f); whole "
                "picture %.2f",
                100 * result.differingFraction, tolerance.pixelThreshold, 100 * tolerance.differingBudget,
                result.worstCell.x, result.worstCell.y, result.worstCellMean, tolerance.cellMeanLimit,
                result.worstShiftCell.x, result.worstShiftCell.y, result.worstCellShift, tolerance.cellShiftLimit,
                result.meanDifference);
  return text;
}

double changedFraction(const RgbImage& a, const RgbImage& b, const PixelRegion& region, int threshold) {
  long changed = 0;
  for (int y = region.y; y < region.y + region.height; ++y)
    for (int x = region.x; x < region.x + region.width; ++x)
      if (largestDifference(a.at(x, y), b.at(x, y)) > threshold) ++changed;
  return static_cast<double>(changed) / (static_cast<double>(region.width) * region.height);
}

double meanDifference(const RgbImage& a, const RgbImage& b, const PixelRegion& region) {
  double total = 0;
  for (int y = region.y; y < region.y + region.height; ++y)
    for (int x = region.x; x < region.x + region.width; ++x) total += sumDifference(a.at(x, y), b.at(x, y));
  return total / (3.0 * region.width * region.height);
}

MeanColor meanColor(const RgbImage& image, const PixelRegion& region) {
  double sum[3] = {0, 0, 0};
  for (int y = region.y; y < region.y + region.height; ++y) {
    for (int x = region.x; x < region.x + region.width; ++x) {
      const unsigned char* p = image.at(x, y);
      for (int c = 0; c < 3; ++c) sum[c] += p[c];
    }
  }
  const double n = static_cast<double>(region.width) * region.height;
  return {sum[0] / n, sum[1] / n, sum[2] / n};
}

RgbImage crop(const RgbImage& image, const PixelRegion& region) {
  RgbImage out(region.width, region.height);
  for (int y = 0; y < region.height; ++y)
    std::copy_n(image.at(region.x, region.y + y), static_cast<size_t>(region.width) * 3, out.at(0, y));
  return out;
}

ShiftEstimate estimateShift(const RgbImage& before, const RgbImage& after, const PixelRegion& region, int maxShift,
                            bool horizontal) {
  ShiftEstimate best;
  best.residual = 1e9;
  for (int d = -maxShift; d <= maxShift; ++d) {
    double total = 0;
    long count = 0;
    for (int y = region.y; y < region.y + region.height; ++y) {
      for (int x = region.x; x < region.x + region.width; ++x) {
        const int sx = horizontal ? x - d : x;
        const int sy = horizontal ? y : y - d;
        if (sx < 0 || sy < 0 || sx >= before.width || sy >= before.height) continue;
        total += sumDifference(after.at(x, y), before.at(sx, sy));
        ++count;
      }
    }
    if (count == 0) continue;
    const double mean = total / (3.0 * count);
    if (d == 0) best.unshifted = mean;
    if (mean < best.residual) {
      best.residual = mean;
      best.shift = d;
    }
  }
  return best;
}

RgbImage flipHorizontal(const RgbImage& image) {
  RgbImage out(image.width, image.height);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) std::copy_n(image.at(x, y), 3, out.at(image.width - 1 - x, y));
  return out;
}

}  // namespace visualtest
