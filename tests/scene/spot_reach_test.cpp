// Spot cones against boxes: named cases, and random ones checked point by point.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "scene/culling/spot_reach.h"

namespace {

constexpr double IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

SpotCone cone(double ax, double ay, double az, double dx, double dy, double dz, double degrees) {
  const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
  return {{ax, ay, az}, {dx / length, dy / length, dz / length}, degrees * M_PI / 180};
}

struct ReachCase {
  const char* what;
  SpotCone spot;
  float min[3], max[3];
  bool misses;
};

TEST(SpotReach, NamedCases) {
  // Cone along -z from the origin, 12 degrees: tan 12 = 0.2126 at unit depth.
  const SpotCone headlight = cone(0, 0, 0, 0, 0, -1, 12);
  const ReachCase cases[] = {
      {"straight ahead", headlight, {-0.1f, -0.1f, -5}, {0.1f, 0.1f, -4}, false},
      {"well to the side", headlight, {3, -0.1f, -5}, {4, 0.1f, -4}, true},
      {"behind the lamp", headlight, {-1, -1, 1}, {1, 1, 2}, true},
      {"around the lamp", headlight, {-1, -1, -1}, {1, 1, 1}, false},
      {"edge 0.2 degrees outside: within the margin on the sphere's side", headlight,
       {static_cast<float>(10 * std::tan(12.2 * M_PI / 180)), -0.01f, -10.01f},
       {static_cast<float>(10 * std::tan(12.2 * M_PI / 180)) + 0.02f, 0.01f, -9.99f}, true},
      {"edge just inside the cone", headlight,
       {static_cast<float>(10 * std::tan(11.9 * M_PI / 180)), -0.01f, -10.01f}, {5, 0.01f, -9.99f}, false},
      {"long box beside the axis, corner inside", headlight, {0.15f, -0.05f, -10}, {3, 0.05f, -0.5f}, false},
      {"lamp ahead of a kart, shining away", cone(-1.1, -0.05, 0.25, -1, -0.3, 0, 20), {-1, -0.5f, -0.6f},
       {1, 0.5f, 0.6f}, true},
      {"wide box straddling the lamp's plane beside the cone", cone(0, 0, 0, 1, 0, 0, 20), {-2, 1.5f, -2},
       {2, 3, 2}, true},
  };
  for (const ReachCase& c : cases) EXPECT_EQ(coneMissesBox(c.spot, IDENTITY, c.min, c.max), c.misses) << c.what;
}

TEST(SpotReach, FollowsTheMatrix) {
  // The box at x = 3..4 moved by the matrix onto the cone's axis, and scaled by 0.6.
  const SpotCone headlight = cone(0, 0, 0, 0, 0, -1, 12);
  const float min[3] = {3, -0.1f, -5}, max[3] = {4, 0.1f, -4};
  const double moved[16] = {0.6, 0, 0, 0, 0, 0.6, 0, 0, 0, 0, 0.6, 0, -2.1, 0, -3, 1};
  EXPECT_TRUE(coneMissesBox(headlight, IDENTITY, min, max));
  EXPECT_FALSE(coneMissesBox(headlight, moved, min, max));
}

// A box the test says the cone misses holds no point within the cone.
TEST(SpotReach, NoPointOfAMissedBoxLiesInTheCone) {
  std::mt19937 random(21);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  int missed = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const SpotCone spot = cone(uniform(-2, 2), uniform(-2, 2), uniform(-2, 2), uniform(-1, 1), uniform(-1, 1),
                               uniform(-1, 1), uniform(5, 60));
    float min[3], max[3];
    for (int a = 0; a < 3; ++a) {
      min[a] = static_cast<float>(uniform(-4, 4));
      max[a] = min[a] + static_cast<float>(uniform(0.01, 3));
    }
    if (!coneMissesBox(spot, IDENTITY, min, max)) continue;
    ++missed;
    for (int sample = 0; sample < 400; ++sample) {
      double p[3], along = 0, length = 0;
      for (int a = 0; a < 3; ++a) {
        // Corners and edges as well as the inside.
        const int pick = sample < 8 ? (sample >> a) & 1 : -1;
        p[a] = pick == 0 ? min[a] : pick == 1 ? max[a] : uniform(min[a], max[a]);
        const double v = p[a] - spot.apex[a];
        along += v * spot.axis[a];
        length += v * v;
      }
      ASSERT_LT(along, std::cos(spot.cutoff) * std::sqrt(length)) << "trial " << trial << " sample " << sample;
    }
  }
  // The property is only tested if some boxes are found missed, and some are found reached.
  EXPECT_GT(missed, 300);
  EXPECT_LT(missed, 2700);
}

}  // namespace
