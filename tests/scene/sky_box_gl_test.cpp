// The sky box, seen from inside: which picture hangs where, and which way round.
#include <gtest/gtest.h>

#include "app/shell/window.h"
#include "image/scene_textures.h"
#include "scene/sky_box.h"
#include "tests/scene/scene_test_support.h"

namespace {

using scenetest::Rgb;

// Left half (s < 0.5) in one colour, right half in another.
struct WallCase {
  const char* name;
  int slot;
  std::array<double, 3> facing;  // a point on the wall straight ahead
  std::array<double, 3> right;   // the viewer's right along the wall
};

class SkyBox : public ::testing::Test {
 protected:
  void SetUp() override {
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    for (int slot = 0; slot < 5; ++slot) {
      const unsigned char tag = static_cast<unsigned char>(40 * (slot + 1));
      // s low: (tag, 0, 0); s high: (0, tag, 0); same for both t halves.
      sceneTextures[slot] = scenetest::makeQuadrantTexture({tag, 0, 0}, {0, tag, 0}, {tag, 0, 0}, {0, tag, 0});
    }
  }
  void TearDown() override {
    glDeleteTextures(5, sceneTextures);
    for (int slot = 0; slot < 5; ++slot) sceneTextures[slot] = 0;
  }
};

TEST_F(SkyBox, EveryWallShowsItsPictureUnmirroredFromInside) {
  const WallCase walls[] = {
      {"pos_z at z = +45", TEX_SKY_POS_Z, {0, 10, 45}, {-1, 0, 0}},
      {"neg_z at z = -45", TEX_SKY_NEG_Z, {0, 10, -45}, {1, 0, 0}},
      {"pos_x at x = -45", TEX_SKY_POS_X, {-45, 10, 0}, {0, 0, -1}},
      {"neg_x at x = +45", TEX_SKY_NEG_X, {45, 10, 0}, {0, 0, 1}},
  };
  for (const WallCase& wall : walls) {
    scenetest::lookFrom({0, 10, 0}, wall.facing);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawSkyBox();
    const unsigned char tag = static_cast<unsigned char>(40 * (wall.slot + 1));
    const auto at = [&](double d) {
      return scenetest::pixelAt(wall.facing[0] + d * wall.right[0], 10, wall.facing[2] + d * wall.right[2]);
    };
    EXPECT_EQ(at(-10), (Rgb{tag, 0, 0})) << wall.name << ": left of centre shows s < 0.5";
    EXPECT_EQ(at(10), (Rgb{0, tag, 0})) << wall.name << ": right of centre shows s > 0.5";
  }
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(SkyBox, WallsStandOnTheGroundAndReachTwenty) {
  scenetest::lookFrom({0, 10, 0}, {0, 10, -45});
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawSkyBox();
  const unsigned char tag = 40 * (TEX_SKY_NEG_Z + 1);
  EXPECT_EQ(scenetest::pixelAt(-5, 0.3, -45), (Rgb{tag, 0, 0}));
  EXPECT_EQ(scenetest::pixelAt(-5, 19.7, -45), (Rgb{tag, 0, 0}));
  EXPECT_EQ(scenetest::pixelAt(-5, -0.5, -45), (Rgb{0, 0, 0}));
}

TEST_F(SkyBox, TopRepeatsItsNegativeCoordinates) {
  // Top coordinates: (s, t) = ((z - 45) / 90, -(x + 45) / 90), wrapped into [0, 1).
  scenetest::lookFrom({0, 10, 0}, {0, 20, 0}, {0, 0, -1});
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawSkyBox();
  const unsigned char tag = 40 * (TEX_SKY_POS_Y + 1);
  EXPECT_EQ(scenetest::pixelAt(0, 20, 4), (Rgb{0, tag, 0})) << "z > 0: wrapped s above 0.5";
  EXPECT_EQ(scenetest::pixelAt(0, 20, -4), (Rgb{tag, 0, 0})) << "z < 0: wrapped s below 0.5";
}

}  // namespace
