// Tolerant picture comparison for the visual and end-to-end tests: per-pixel
// differences with a threshold and a budget, and mean differences per cell of
// a grid, so that renderer differences pass and a missing object does not.
#pragma once

#include <string>

#include "tools/shot/rgb_image.h"

namespace visualtest {

// A rectangle of pixels: columns x .. x + width - 1, rows y .. y + height - 1, row 0 at the top.
struct PixelRegion {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct CompareTolerance {
  int pixelThreshold = 48;        // a pixel differs when a channel differs by more than this
  double differingBudget = 0.01;  // the largest fraction of differing pixels that still passes
  int cellSize = 10;              // the grid's cells, in pixels
  double cellMeanLimit = 10;      // the largest mean channel difference allowed in any cell
  double cellShiftLimit = 8;      // the largest shift of a cell's mean red, green or blue
};

struct CompareResult {
  bool sameSize = false;
  double differingFraction = 0;  // pixels over the threshold, over all pixels
  double meanDifference = 0;     // mean absolute channel difference over the whole picture
  double worstCellMean = 0;      // the largest mean absolute channel difference of a cell
  PixelRegion worstCell;
  // The largest change of a cell's mean colour in one channel: a tint or a
  // brightness change that edges moving back and forth do not add up to.
  double worstCellShift = 0;
  PixelRegion worstShiftCell;
  bool passes = false;           // within the budget and under both cell limits
};

// Compares `actual` with `expected` under `tolerance`.
CompareResult compareImages(const RgbImage& expected, const RgbImage& actual,
                            const CompareTolerance& tolerance = CompareTolerance());

// One line for a failure message: the figures next to their limits.
std::string describe(const CompareResult& result, const CompareTolerance& tolerance = CompareTolerance());

// The fraction of pixels of `region` whose largest channel difference is above
// `threshold`. Both pictures must hold the region.
double changedFraction(const RgbImage& a, const RgbImage& b, const PixelRegion& region, int threshold = 24);

// Mean absolute channel difference over `region`.
double meanDifference(const RgbImage& a, const RgbImage& b, const PixelRegion& region);

// The mean colour of `region`, channel by channel.
struct MeanColor {
  double r = 0, g = 0, b = 0;
};
MeanColor meanColor(const RgbImage& image, const PixelRegion& region);

// `region` of `image` as a picture of its own.
RgbImage crop(const RgbImage& image, const PixelRegion& region);

// How far the content of `region` moved from `before` to `after` along one
// axis: the shift d (within -maxShift .. maxShift) for which after(p) best
// matches before(p - d), and the mean channel difference left at that shift.
// Positive d: moved right (horizontal) or down (vertical).
struct ShiftEstimate {
  int shift = 0;
  double residual = 0;
  double unshifted = 0;  // the mean channel difference with no shift at all
};
ShiftEstimate estimateShift(const RgbImage& before, const RgbImage& after, const PixelRegion& region, int maxShift,
                            bool horizontal);

// The picture mirrored left to right.
RgbImage flipHorizontal(const RgbImage& image);

}  // namespace visualtest
