// The shell's side of the menus: the tree GLUT holds after buildMenus.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/menu.h"
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
