// Arrow keys and passive mouse motion on the free camera.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/camera.h"
#include "app/scene_state.h"

namespace {

SceneState startPose() {
  SceneState state;
  resetCameraPose(state);
  return state;
}

TEST(MouseTurn, MovesInsideTheDeadBandAccumulateUntilTwoPixels) {
  SceneState state = startPose();
  turnCamera(state, 651, 500);
  EXPECT_EQ(state.cameraYaw, -90);
  EXPECT_EQ(state.lastMouseX, 650);
  turnCamera(state, 652, 500);
  EXPECT_EQ(state.cameraYaw, -87);
  EXPECT_EQ(state.lastMouseX, 652);
  // However far the mouse goes, one accepted move is one 3-degree step.
  turnCamera(state, 1200, 500);
  EXPECT_EQ(state.cameraYaw, -84);
}

TEST(MouseTurn, AxesAreJudgedSeparately) {
  SceneState state = startPose();
  turnCamera(state, 651, 480);  // x inside the dead band, y far outside
  EXPECT_EQ(state.cameraYaw, -90);
  EXPECT_EQ(state.cameraPitch, 3);
  EXPECT_EQ(state.lastMouseX, 650);
  EXPECT_EQ(state.lastMouseY, 480);
}

TEST(MouseTurn, PitchClampsAtSeventyFive) {
  SceneState state = startPose();
  int y = 500;
  for (int i = 0; i < 25; ++i) turnCamera(state, 650, y -= 2);
  EXPECT_EQ(state.cameraPitch, 75);
  turnCamera(state, 650, y -= 2);
  EXPECT_EQ(state.cameraPitch, 75);
  turnCamera(state, 650, y += 2);
  EXPECT_EQ(state.cameraPitch, 72);
  for (int i = 0; i < 60; ++i) turnCamera(state, 650, y += 2);
  EXPECT_EQ(state.cameraPitch, -75);
}

TEST(MouseTurn, YawWrapsPastPlusAndMinus360) {
  SceneState right = startPose();
  int x = 650;
  for (int i = 0; i < 151; ++i) turnCamera(right, x += 2, 500);
  EXPECT_EQ(right.cameraYaw, 3);

  SceneState left = startPose();
  x = 650;
  for (int i = 0; i < 91; ++i) turnCamera(left, x -= 2, 500);
  EXPECT_EQ(left.cameraYaw, -3);
}

TEST(ArrowKeys, WalkSixTenthsAlongDirectionAndSideways) {
  SceneState state = startPose();
  EXPECT_TRUE(walkCamera(state, GLUT_KEY_UP));
  EXPECT_DOUBLE_EQ(state.cameraPos.z, 4.4);
  EXPECT_EQ(state.cameraPos.y, 0);
  EXPECT_TRUE(walkCamera(state, GLUT_KEY_DOWN));
  EXPECT_DOUBLE_EQ(state.cameraPos.z, 5.0);
  // Facing -z, the left step goes to -x.
  EXPECT_TRUE(walkCamera(state, GLUT_KEY_LEFT));
  EXPECT_NEAR(state.cameraPos.x, -0.6, 1e-5);
  EXPECT_NEAR(state.cameraPos.z, 5.0, 1e-5);
  EXPECT_TRUE(walkCamera(state, GLUT_KEY_RIGHT));
  EXPECT_NEAR(state.cameraPos.x, 0.0, 1e-12);
  EXPECT_EQ(state.cameraPos.y, 0);
}

TEST(ArrowKeys, IgnoredInCarViewAndForOtherKeys) {
  SceneState state = startPose();
  state.carView = true;
  for (int key : {GLUT_KEY_UP, GLUT_KEY_DOWN, GLUT_KEY_LEFT, GLUT_KEY_RIGHT}) EXPECT_FALSE(walkCamera(state, key));
  EXPECT_EQ(state.cameraPos.z, 5);
  state.carView = false;
  EXPECT_FALSE(walkCamera(state, GLUT_KEY_F1));
  EXPECT_FALSE(walkCamera(state, GLUT_KEY_PAGE_UP));
  EXPECT_EQ(state.cameraPos.z, 5);
}

TEST(ArrowKeys, ForwardUsesDirectionOfTheLastFreeFrame) {
  SceneState state = startPose();
  setBenchPose(state);
  walkCamera(state, GLUT_KEY_UP);  // before any frame: still the start direction
  EXPECT_DOUBLE_EQ(state.cameraPos.x, 0.75);
  EXPECT_DOUBLE_EQ(state.cameraPos.z, 0.35 - 0.6);
  freeCameraLookAt(state);  // a free frame recomputes the direction
  const double heading = -66 * DEG_TO_RAD;
  EXPECT_DOUBLE_EQ(state.cameraDir.x, std::cos(heading));
  EXPECT_DOUBLE_EQ(state.cameraDir.z, std::sin(heading));
  walkCamera(state, GLUT_KEY_UP);
  EXPECT_NEAR(state.cameraPos.x, 0.75 + 0.6 * std::cos(heading), 1e-12);
}

TEST(FreeCamera, EyeHalfAboveThePositionWithUpPerpendicular) {
  SceneState state = startPose();
  state.cameraPitch = 30;
  state.cameraYaw = 20;
  const LookAt view = freeCameraLookAt(state);
  EXPECT_DOUBLE_EQ(view.eye[1], 0.5);
  double forward[3], dot = 0;
  for (int i = 0; i < 3; ++i) {
    forward[i] = view.center[i] - view.eye[i];
    dot += forward[i] * view.up[i];
  }
  EXPECT_NEAR(dot, 0, 1e-12);
  EXPECT_NEAR(forward[1], std::sin(30 * DEG_TO_RAD), 1e-12);
}

TEST(CarViewCamera, EyeOutsideTheKartCircleLookingAtOrigin) {
  const LookAt view = carViewLookAt(6, 0.33, 0);
  EXPECT_DOUBLE_EQ(view.eye[0], 9.6);
  EXPECT_DOUBLE_EQ(view.eye[1], 1.33);
  EXPECT_DOUBLE_EQ(view.eye[2], 0);
  for (double c : view.center) EXPECT_EQ(c, 0);
  EXPECT_EQ(view.up[1], 1);
}

}  // namespace
