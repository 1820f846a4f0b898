// wrapRange and the closed Catmull-Rom curve.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "math/curve.h"

namespace {

TEST(WrapRange, FoldsIntoHalfOpenRange) {
  struct Case {
    float value, lo, hi, expected;
  };
  const Case cases[] = {
      {7.99f, 0, 8, 7.99f}, {-1, 0, 8, 7}, {-9, 0, 8, 7}, {16, 0, 8, 0}, {3, 2, 5, 3}, {1, 2, 5, 4}, {0, 0, 8, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wrapRange(c.value, c.lo, c.hi), c.expected) << c.value << " in [" << c.lo << ", " << c.hi << ")";
  }
}

TEST(WrapRange, SumPastTheEndWrapsToNearlyTheRemainder) {
  const float sum = 7.99f + 0.03f;  // formed in single precision, as the idle step does
  const float wrapped = wrapRange(sum, 0, 8);
  EXPECT_NEAR(wrapped, 0.02f, 1e-5f);
  EXPECT_NE(wrapped, 0.02f) << "the single-precision sum is not exactly 8.02";
}

TEST(WrapRange, EmptyRangeIsNotANumber) { EXPECT_TRUE(std::isnan(wrapRange(3, 2, 2))); }

const std::vector<CVector3D> SQUARE = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};

TEST(CurvePoint, PassesThroughEveryControlPointExactly) {
  const std::vector<CVector3D> points = {{0, 0.33, -10}, {-25, 0.33, -10}, {-30, 0.33, -30}, {-20, 0.33, -30},
                                         {-20, 0.33, -20}, {-10, 0.33, -20}, {-10, 0.33, -30}, {0, 0.33, -30}};
  for (unsigned i = 0; i < points.size(); ++i) {
    const CVector3D p = curvePoint(points.data(), 8, static_cast<float>(i));
    EXPECT_EQ(p.x, points[i].x) << i;
    EXPECT_EQ(p.y, points[i].y) << i;
    EXPECT_EQ(p.z, points[i].z) << i;
    EXPECT_EQ(p.w, 1.0);
  }
  const CVector3D end = curvePoint(points.data(), 8, 8.0f);
  EXPECT_EQ(end.x, 0);
  EXPECT_EQ(end.z, -10);
}

TEST(CurvePoint, MidpointOfClosedSquareUsesLastPointBeforeFirst) {
  // (-p0 + 9 p1 + 9 p2 - p3) / 16 with p0 = (0, 0, 1), the point before the first.
  const CVector3D p = curvePoint(SQUARE.data(), 4, 0.5f);
  EXPECT_EQ(p.x, 0.5);
  EXPECT_EQ(p.y, 0.0);
  EXPECT_EQ(p.z, -0.125);
  EXPECT_EQ(p.w, 1.0);
}

TEST(CatmullRomSegment, EvenlySpacedLineGivesUniformSpeed) {
  const CVector3D p = catmullRomSegment({0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, 0.25f);
  EXPECT_EQ(p.x, 1.25);
  EXPECT_EQ(p.y, 0.0);
  EXPECT_EQ(p.z, 0.0);
  EXPECT_EQ(p.w, 1.0);
}

TEST(CurvePoint, ParameterJustBelowAnIntegerStaysOnItsSegment) {
  // float(t - 1) is a tiny negative number here, which wraps up to n itself;
  // the point must still come from the segment ending at point 1, near point 1.
  const float t = std::nextafter(1.0f, 0.0f);
  const CVector3D p = curvePoint(SQUARE.data(), 4, t);
  EXPECT_NEAR(p.x, 1.0, 1e-6);
  EXPECT_NEAR(p.z, 0.0, 1e-6);
  for (float s = 0; s < 8; s += 0.01f) {
    const CVector3D q = curvePoint(SQUARE.data(), 4, s);
    EXPECT_TRUE(q.x > -0.2 && q.x < 1.2 && q.z > -0.2 && q.z < 1.2) << "t = " << s;
  }
}

TEST(CurvePoint, RepeatsWithPeriodN) {
  for (float t : {0.25f, 1.5f, 2.75f, 3.5f}) {
    const CVector3D a = curvePoint(SQUARE.data(), 4, t);
    const CVector3D b = curvePoint(SQUARE.data(), 4, t + 4);
    EXPECT_NEAR(a.x, b.x, 1e-6) << t;
    EXPECT_NEAR(a.z, b.z, 1e-6) << t;
  }
}

}  // namespace
