// The right-button menu: what every item id does.
#include <gtest/gtest.h>

#include "app/menu.h"
#include "tests/app/gl_state.h"

namespace {

class Menu : public ::testing::Test {
 protected:
  void SetUp() override { apptest::startUp(); }
};

TEST_F(Menu, CarViewIsASettingAndBackToStartLeavesIt) {
  runMenuCommand(CMD_CAR_VIEW);
  runMenuCommand(CMD_CAR_VIEW);
  EXPECT_TRUE(sceneState.carView);
  sceneState.cameraPos = {3, 0, 3};
  sceneState.cameraYaw = 12;
  runMenuCommand(CMD_BACK_TO_START);
  EXPECT_TRUE(sceneState.carView);
  EXPECT_EQ(sceneState.cameraPos.z, 5);
  EXPECT_EQ(sceneState.cameraYaw, -90);
  EXPECT_EQ(sceneState.cameraDir.z, -1);
  runMenuCommand(CMD_FREE_MOVEMENT);
  EXPECT_FALSE(sceneState.carView);
}

TEST_F(Menu, BenchViewLeavesCarViewAndKeepsDirectionForNextFrame) {
  runMenuCommand(CMD_CAR_VIEW);
  sceneState.cameraPitch = 30;
  runMenuCommand(CMD_BENCH_VIEW);
  EXPECT_FALSE(sceneState.carView);
  EXPECT_EQ(sceneState.cameraYaw, -66);
  EXPECT_EQ(sceneState.cameraPitch, 0);
  EXPECT_EQ(sceneState.cameraPos.x, 0.75);
  EXPECT_EQ(sceneState.cameraPos.y, 0);
  EXPECT_EQ(sceneState.cameraPos.z, 0.35);
  EXPECT_EQ(sceneState.cameraDir.z, -1) << "the direction waits for the next free frame";
}

TEST_F(Menu, LightIdsReachTheirSwitches) {
  runMenuCommand(CMD_TOGGLE_SUN);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  runMenuCommand(CMD_TOGGLE_HEADLIGHT);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
  runMenuCommand(CMD_TOGGLE_KART_LIGHTS);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
  EXPECT_TRUE(sceneState.kartLightsOff);
  runMenuCommand(CMD_TOGGLE_SUN_MOVING);
  EXPECT_TRUE(sceneState.sunMoving);
  runMenuCommand(CMD_TOGGLE_COLOR_CHANGE);
  EXPECT_TRUE(sceneState.colorChangeOn);
}

TEST_F(Menu, AnimationIdsToggleAndUnknownIdsDoNothing) {
  runMenuCommand(CMD_GYRATION);
  EXPECT_FALSE(sceneState.gyrationOn);
  runMenuCommand(CMD_GYRATION);
  EXPECT_TRUE(sceneState.gyrationOn);
  sceneState.curveParam = 2.5f;
  runMenuCommand(CMD_CURVE_ANIMATION);
  EXPECT_TRUE(sceneState.curveAnimationOn);
  runMenuCommand(CMD_CURVE_ANIMATION);
  EXPECT_FALSE(sceneState.curveAnimationOn);
  EXPECT_EQ(sceneState.curveParam, 2.5f);

  const SceneState before = sceneState;
  for (int id : {0, 6, 21, 56, 112, 999, -1}) EXPECT_FALSE(runMenuCommand(id)) << id;
  EXPECT_EQ(sceneState.carView, before.carView);
  EXPECT_EQ(sceneState.sunOn, before.sunOn);
  EXPECT_EQ(sceneState.gyrationOn, before.gyrationOn);
}

}  // namespace
