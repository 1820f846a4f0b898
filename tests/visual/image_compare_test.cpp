// The tolerant comparison on small pictures made in the test: what passes,
// what fails, and the helpers the end-to-end test judges the screen with.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <functional>

#include "tests/support/test_paths.h"
#include "tests/visual/image_compare.h"

namespace {

using visualtest::PixelRegion;
using visualtest::CompareResult;
using visualtest::compareImages;
using visualtest::describe;
using visualtest::changedFraction;
using visualtest::MeanColor;
using visualtest::meanColor;
using visualtest::ShiftEstimate;
using visualtest::estimateShift;
using visualtest::flipHorizontal;


// A 100 x 100 picture: a horizontal ramp in red, a vertical one in green, blue 80.
RgbImage ramp() {
  RgbImage image(100, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      unsigned char* p = image.at(x, y);
      p[0] = static_cast<unsigned char>(2 * x);
      p[1] = static_cast<unsigned char>(2 * y);
      p[2] = 80;
    }
  return image;
}

void fill(RgbImage& image, const PixelRegion& region, unsigned char r, unsigned char g, unsigned char b) {
  for (int y = region.y; y < region.y + region.height; ++y)
    for (int x = region.x; x < region.x + region.width; ++x) {
      unsigned char* p = image.at(x, y);
      p[0] = r;
      p[1] = g;
      p[2] = b;
    }
}

TEST(ImageCompare, VerdictsOnKnownChanges) {
  struct Case {
    const char* change;
    std::function<void(RgbImage&)> apply;
    bool passes;
  };
  const Case cases[] = {
      {"none", [](RgbImage&) {}, true},
      // Renderer noise: every pixel off by 3.
      {"all pixels +3", [](RgbImage& i) { for (auto& v : i.rgb) v = static_cast<unsigned char>(v < 252 ? v + 3 : v); },
       true},
      // A few scattered pixels far off (an edge one pixel over): within the budget and the cells.
      {"ten scattered pixels", [](RgbImage& i) { for (int k = 0; k < 10; ++k) fill(i, {k * 10 + 3, k * 9 + 2, 1, 1}, 255, 255, 255); },
       true},
      // A small object gone: one 10 x 10 cell quite different.
      {"6 x 6 block painted white", [](RgbImage& i) { fill(i, {42, 42, 6, 6}, 255, 255, 255); }, false},
      // A tint over part of the picture: small per pixel, but it moves the cells' mean colour.
      {"blue +12 over a quarter", [](RgbImage& i) {
         for (int y = 0; y < 50; ++y) for (int x = 0; x < 50; ++x) i.at(x, y)[2] = 92; }, false},
      // Mirrored.
      {"mirrored", [](RgbImage& i) { i = flipHorizontal(i); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    RgbImage changed = ramp();
    c.apply(changed);
    const CompareResult result = compareImages(ramp(), changed);
    EXPECT_TRUE(result.sameSize);
    EXPECT_EQ(result.passes, c.passes) << describe(result);
  }
}

TEST(ImageCompare, DifferentSizesNeverPass) {
  const CompareResult result = compareImages(ramp(), RgbImage(100, 99));
  EXPECT_FALSE(result.sameSize);
  EXPECT_FALSE(result.passes);
}

TEST(ImageCompare, RegionFiguresCountOnlyTheRegion) {
  RgbImage a = ramp();
  RgbImage b = ramp();
  fill(b, {10, 10, 20, 10}, 0, 0, 0);  // 200 pixels changed
  // Blue 80 goes to 0 everywhere in the block: every one of its pixels changed by 80 or more.
  EXPECT_DOUBLE_EQ(changedFraction(a, b, {0, 0, 100, 100}, 24), 0.02);
  EXPECT_DOUBLE_EQ(changedFraction(a, b, {10, 10, 20, 10}, 79), 1.0);
  EXPECT_DOUBLE_EQ(changedFraction(a, b, {10, 10, 20, 10}, 80), 0.0);
  EXPECT_DOUBLE_EQ(changedFraction(a, b, {50, 50, 10, 10}, 0), 0);
  const MeanColor m = meanColor(b, {10, 10, 20, 10});
  EXPECT_DOUBLE_EQ(m.r, 0);
  EXPECT_DOUBLE_EQ(m.b, 0);
  const MeanColor ramps = meanColor(a, {0, 0, 100, 100});
  EXPECT_DOUBLE_EQ(ramps.r, 99);  // 2x averaged over x = 0 .. 99
  EXPECT_DOUBLE_EQ(ramps.b, 80);
}

TEST(ImageCompare, ShiftEstimateFindsHowFarThePictureSlid) {
  // A picture with detail in both directions, slid by (-7, 0) and by (0, 5).
  RgbImage base(200, 120);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 200; ++x) {
      unsigned char* p = base.at(x, y);
      p[0] = static_cast<unsigned char>((x * 37 + y * 11) % 251);
      p[1] = static_cast<unsigned char>((x * x + 3 * y * y) % 253);
      p[2] = static_cast<unsigned char>((x * y) % 241);
    }
  RgbImage left(200, 120), down(200, 120);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 200; ++x) {
      std::copy_n(base.at(std::min(199, x + 7), y), 3, left.at(x, y));
      std::copy_n(base.at(x, std::max(0, y - 5)), 3, down.at(x, y));
    }
  const ShiftEstimate h = estimateShift(base, left, {40, 20, 100, 80}, 20, true);
  EXPECT_EQ(h.shift, -7);
  EXPECT_DOUBLE_EQ(h.residual, 0);
  EXPECT_GT(h.unshifted, 10);
  const ShiftEstimate v = estimateShift(base, down, {40, 20, 100, 80}, 20, false);
  EXPECT_EQ(v.shift, 5);
  EXPECT_DOUBLE_EQ(v.residual, 0);
}

TEST(ImageCompare, PngRoundTripAndBoxFilter) {
  const std::string dir = supporttest::makeTempDir("png");
  const std::string path = dir + "/ramp.png";
  std::string error;
  ASSERT_TRUE(writePng(path, ramp(), &error)) << error;
  RgbImage back;
  ASSERT_TRUE(readPng(path, &back, &error)) << error;
  EXPECT_EQ(back.width, 100);
  EXPECT_EQ(back.height, 100);
  EXPECT_TRUE(back.rgb == ramp().rgb);
  unlink(path.c_str());
  rmdir(dir.c_str());

  // 2 x 2 blocks of the ramp: red 2x and 2x + 2 average to 2x + 1.
  const RgbImage half = reduceBox(ramp(), 2);
  ASSERT_EQ(half.width, 50);
  EXPECT_EQ(half.at(3, 0)[0], 13);
  EXPECT_EQ(half.at(0, 4)[1], 17);
  EXPECT_EQ(half.at(7, 7)[2], 80);
  EXPECT_EQ(reduceBox(RgbImage(7, 5), 2).width, 3);  // the odd column is dropped

  EXPECT_FALSE(readPng(dir + "/missing.png", &back, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
