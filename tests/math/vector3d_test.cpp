// CVector3D: every built vector has w = 1; operators ignore their operands' w.
#include <gtest/gtest.h>

#include <cmath>

#include "math/vector3d.h"

namespace {

void expectVector(const CVector3D& v, double x, double y, double z, double w) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
  EXPECT_EQ(v.w, w);
}

TEST(CVector3D, OperatorsIgnoreOperandWeightAndYieldWOne) {
  CVector3D a(1, 2, 3);
  a.w = 0;
  CVector3D b(10, 20, 30);
  b.w = 7;
  expectVector(a + b, 11, 22, 33, 1);
  expectVector(b - a, 9, 18, 27, 1);
  expectVector(-a, -1, -2, -3, 1);
  expectVector(a * 2.0, 2, 4, 6, 1);
  expectVector(2.0 * a, 2, 4, 6, 1);
}

TEST(CVector3D, CopiesKeepWeightExactly) {
  CVector3D a(1, 2, 3);
  a.w = 0;
  CVector3D copy(a);
  expectVector(copy, 1, 2, 3, 0);
  CVector3D assigned(5, 5, 5);
  assigned = a;
  expectVector(assigned, 1, 2, 3, 0);
}

TEST(CVector3D, NegatingZeroGivesNegativeZeros) {
  const CVector3D n = -CVector3D(0, 0, 0);
  EXPECT_TRUE(std::signbit(n.x));
  EXPECT_TRUE(std::signbit(n.y));
  EXPECT_TRUE(std::signbit(n.z));
  EXPECT_EQ(n.w, 1.0);
}

}  // namespace
