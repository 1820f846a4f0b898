// The camera placements, judged by where the modelview they set takes world points.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/app/gl_state.h"

namespace {

struct EyePoint {
  double x, y, z;
};

EyePoint toEye(double x, double y, double z) {
  double m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
          m[2] * x + m[6] * y + m[10] * z + m[14]};
}

void expectEye(const EyePoint& p, double x, double y, double z, double tolerance = 1e-5) {
  EXPECT_NEAR(p.x, x, tolerance);
  EXPECT_NEAR(p.y, y, tolerance);
  EXPECT_NEAR(p.z, z, tolerance);
}

class CameraPlacement : public ::testing::Test {
 protected:
  void SetUp() override {
    apptest::startUp();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
};

TEST_F(CameraPlacement, StartPoseLooksAlongMinusZFromHalfAboveStart) {
  placeFreeCamera();
  expectEye(toEye(0, 0.5, 5), 0, 0, 0);
  expectEye(toEye(0, 0.5, 4), 0, 0, -1);  // straight ahead
  expectEye(toEye(1, 0.5, 5), 1, 0, 0);   // to the right
  expectEye(toEye(0, 1.5, 5), 0, 1, 0);   // up
  EXPECT_NEAR(sceneState.cameraDir.z, -1, 1e-9);
}

TEST_F(CameraPlacement, BenchPoseHeadsMinusSixtySixDegrees) {
  setBenchPose(sceneState);
  placeFreeCamera();
  const double h = -66 * DEG_TO_RAD;
  expectEye(toEye(0.75, 0.5, 0.35), 0, 0, 0);
  expectEye(toEye(0.75 + std::cos(h), 0.5, 0.35 + std::sin(h)), 0, 0, -1);
  EXPECT_NEAR(sceneState.cameraDir.x, 0.41, 0.01);
  EXPECT_NEAR(sceneState.cameraDir.z, -0.91, 0.01);
}

TEST_F(CameraPlacement, PitchTiltsViewAndUpTogether) {
  sceneState.cameraPitch = 45;
  placeFreeCamera();
  const double p = 45 * DEG_TO_RAD;
  // One unit along the pitched forward direction lands straight ahead.
  expectEye(toEye(0, 0.5 + std::sin(p), 5 - std::cos(p)), 0, 0, -1);
  // The walking direction stays horizontal.
  EXPECT_EQ(sceneState.cameraDir.y, 0);
}

TEST_F(CameraPlacement, CarViewRidesOutsideTheSpinningKartAndLooksAtOrigin) {
  sceneState.carView = true;
  const double kx = 6 * std::cos(30 * DEG_TO_RAD), kz = 6 * std::sin(30 * DEG_TO_RAD);
  placeCarViewCamera(kx, 0.33, kz);
  expectEye(toEye(1.6 * kx, 1.33, 1.6 * kz), 0, 0, 0);
  const double distance = std::sqrt(9.6 * 9.6 + 1.33 * 1.33);
  const EyePoint origin = toEye(0, 0, 0);
  expectEye(origin, 0, 0, -distance);
}

}  // namespace
