// The right-button menu: its tree and what every item id does.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <string>

#include "app/menu.h"
#include "tests/app/gl_state.h"

namespace {

class Menu : public ::testing::Test {
 protected:
  void SetUp() override { apptest::startUp(); }
};

TEST_F(Menu, TreeHasThreeSubmenusWithTheirEntries) {
  const int top = buildMenus();
  glutSetMenu(top);
  EXPECT_EQ(glutGet(GLUT_MENU_NUM_ITEMS), 3);
  // Submenus are created first, so their ids precede the top menu's.
  glutSetMenu(top - 3);
  EXPECT_EQ(glutGet(GLUT_MENU_NUM_ITEMS), 4);
  glutSetMenu(top - 2);
  EXPECT_EQ(glutGet(GLUT_MENU_NUM_ITEMS), 5);
  glutSetMenu(top - 1);
  EXPECT_EQ(glutGet(GLUT_MENU_NUM_ITEMS), 2);
  glutDetachMenu(GLUT_RIGHT_BUTTON);

  const std::pair<std::string, int> expected[] = {
      {"Free movement", 22},         {"Car view (dynamic)", 33},         {"View from bench (static)", 44},
      {"Back to start (static)", 55}, {"Toggle Sun", 1},                   {"Toggle Sun moveing", 4},
      {"Toggle light color change", 5}, {"Toggle headlight", 2},           {"Toggle go-car lights", 3},
      {"Go-cart gyration", 111},     {"Go-cart animation on curve", 222},
  };
  std::vector<MenuEntry> all(std::begin(CAMERA_MENU), std::end(CAMERA_MENU));
  all.insert(all.end(), std::begin(LIGHTS_MENU), std::end(LIGHTS_MENU));
  all.insert(all.end(), std::begin(ANIMATIONS_MENU), std::end(ANIMATIONS_MENU));
  ASSERT_EQ(all.size(), std::size(expected));
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].label, expected[i].first);
    EXPECT_EQ(all[i].id, expected[i].second);
  }
}

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
