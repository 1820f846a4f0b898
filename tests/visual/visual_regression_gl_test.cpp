// Visual regression: every reference shot rendered again through velmora-shot's
// code must match its committed picture under the tolerance, and shots must
// not depend on the shots rendered before them in the same process.
#include <gtest/gtest.h>

#include "tests/support/test_paths.h"
#include "tests/visual/image_compare.h"
#include "tests/visual/reference_shots.h"
#include "tools/shot/shot_render.h"

namespace {

using visualtest::CompareResult;
using visualtest::compareImages;
using visualtest::describe;
using visualtest::ReferenceShot;
using visualtest::loadReferenceShots;
using visualtest::referenceShot;
using visualtest::referencePath;
using visualtest::shotOptions;


// Where a failing render is left for a person to look at.
std::string keepForInspection(const std::string& name, const RgbImage& image) {
  const std::string path = supporttest::keptFile("visual-" + name + ".png");
  writePng(path, image);
  return path;
}

TEST(VisualRegression, EveryReferenceShotMatchesItsPicture) {
  const std::vector<ReferenceShot> shots = loadReferenceShots();
  ASSERT_EQ(shots.size(), 7u) << "start, bench, car view, headlight without sun, kart lights off, colour change, "
                                 "curve kart mid-lap";
  for (const ReferenceShot& shot : shots) {
    SCOPED_TRACE(shot.name);
    RgbImage reference;
    std::string error;
    ASSERT_TRUE(readPng(referencePath(shot.name), &reference, &error)) << error;
    const RgbImage rendered = renderShot(shot.options, &error);
    ASSERT_FALSE(rendered.empty()) << error;
    const CompareResult result = compareImages(reference, rendered);
    EXPECT_TRUE(result.passes) << describe(result) << "; the render is in "
                               << keepForInspection(shot.name, rendered);
  }
}

TEST(VisualRegression, ShotsDoNotDependOnEarlierShots) {
  // Every light switched, the camera moved, the kart driven, then the start
  // shot again: it must come out exactly as the first one did.
  const ShotOptions start = shotOptions({"--scale", "4"});
  const RgbImage first = renderShot(start);
  for (const char* name : {"headlight_no_sun", "kart_lights_off", "color_change", "curve_mid_lap"})
    renderShot(referenceShot(name).options);
  renderShot(shotOptions({"--sun-moving", "on", "--gyration", "off", "--view", "car", "--frames", "3"}));
  const RgbImage again = renderShot(start);
  ASSERT_EQ(first.width, again.width);
  ASSERT_EQ(first.height, again.height);
  EXPECT_TRUE(first.rgb == again.rgb) << describe(compareImages(first, again));
}

TEST(VisualRegression, SizeAndScaleGiveTheRequestedPicture) {
  const RgbImage full = renderShot(shotOptions({"--size", "320x240"}));
  EXPECT_EQ(full.width, 320);
  EXPECT_EQ(full.height, 240);
  const RgbImage reduced = renderShot(shotOptions({"--size", "320x240", "--scale", "4"}));
  ASSERT_EQ(reduced.width, 80);
  ASSERT_EQ(reduced.height, 60);
  // The reduction is the box filter of the full render.
  EXPECT_TRUE(reduceBox(full, 4).rgb == reduced.rgb);
}

}  // namespace
