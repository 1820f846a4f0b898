// The shell's side of the menus: the tree GLUT holds after buildMenus.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/idle_pacing.h"
#include "app/menu.h"
#include "app/scene_state.h"
#include "app/shell/screen_rate.h"
#include "app/shell/shell.h"
#include "tests/app/gl_state.h"

namespace {

class ShellMenus : public ::testing::Test {
 protected:
  void SetUp() override { apptest::startUp(); }
};

TEST_F(ShellMenus, TreeHasThreeSubmenusWithTheirEntries) {
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

}  // namespace

// Never faster than the screen: on a display without swap control (Xvfb lists
// none) the idle steps keep to 60 a second once the program asks; before, and
// for the tools that never ask, they run as fast as they are called.
TEST(ScreenRate, IdleStepsKeepToSixtyASecondWithoutSwapControl) {
  apptest::startUp();
  const bool swapControl = screenListsSwapControl();

  const auto timeIdleSteps = [](int steps) {
    const double spinBefore = sceneState.spinAngle;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < steps; ++i) idle();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_DOUBLE_EQ(sceneState.spinAngle - spinBefore, 0.5 * steps) << "one fixed step per idle call";
    return seconds;
  };
  EXPECT_EQ(screenRate(), ScreenRate::UNPACED);
  EXPECT_LT(timeIdleSteps(31), 0.25);

  const ScreenRate rate = keepToScreenRate();
  if (swapControl) {
    EXPECT_NE(rate, ScreenRate::UNPACED);
  } else {
    EXPECT_EQ(rate, ScreenRate::PACED_IDLE);
    EXPECT_STREQ(swapControlInUse(), "none");
    EXPECT_GE(timeIdleSteps(31), 30 / IDLE_STEPS_PER_SECOND - 1e-3);
  }
  stopKeepingToScreenRate();
  EXPECT_LT(timeIdleSteps(31), 0.25);
}
