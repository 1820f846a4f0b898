// The ground grid: its vertices as built, and what OpenGL draws from them.
#include <gtest/gtest.h>

#include <cmath>

#include "app/shell/window.h"
#include "image/scene_textures.h"
#include "scene/ground.h"
#include "tests/reference/path_comparison.h"
#include "tests/scene/scene_test_support.h"
#include "tests/support/gl_context.h"

namespace {

using scenetest::Rgb;

TEST(GroundGeometry, EdgesRunFromMinus45To45InStepsOfPoint18) {
  const std::vector<float>& edges = groundEdges();
  ASSERT_EQ(edges.size(), 501u);
  EXPECT_EQ(edges.front(), -45.0f);
  EXPECT_NEAR(edges.back(), 45.0f, 1e-3f);
  for (size_t k = 1; k < edges.size(); ++k) EXPECT_NEAR(edges[k] - edges[k - 1], 0.18f, 1e-4f) << k;
}

TEST(GroundGeometry, FiveHundredStripsOfFiveHundredOnePairs) {
  const std::vector<GroundVertex>& v = groundVertices();
  ASSERT_EQ(v.size(), 500u * 1002u);
  const std::vector<float>& edges = groundEdges();
  float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
  for (int i = 0; i < 500; ++i) {
    const GroundVertex* strip = &v[static_cast<size_t>(i) * 1002];
    for (int k = 0; k <= 500; ++k) {
      const GroundVertex& right = strip[2 * k];
      const GroundVertex& left = strip[2 * k + 1];
      // Right edge first with s = 0, then the left edge with s = 1; t alternates by row.
      ASSERT_EQ(right.s, 0.0f);
      ASSERT_EQ(left.s, 1.0f);
      ASSERT_EQ(right.t, static_cast<float>(k % 2));
      ASSERT_EQ(left.t, static_cast<float>(k % 2));
      ASSERT_EQ(left.x, edges[i]);
      ASSERT_GT(right.x, left.x);
      ASSERT_EQ(right.y, 0.0f);
      ASSERT_EQ(left.y, 0.0f);
      ASSERT_EQ(right.z, edges[k]);
      ASSERT_EQ(left.z, edges[k]);
      minX = std::min(minX, left.x);
      maxX = std::max(maxX, right.x);
      minZ = std::min(minZ, left.z);
      maxZ = std::max(maxZ, left.z);
    }
    // Neighbouring columns share their edge exactly: no cracks.
    if (i + 1 < 500) {
      ASSERT_EQ(strip[0].x, v[static_cast<size_t>(i + 1) * 1002 + 1].x) << i;
    }
    // 500 rows: the first and the last pair carry t = 0.
    EXPECT_EQ(strip[0].t, 0.0f);
    EXPECT_EQ(strip[1001].t, 0.0f);
  }
  EXPECT_EQ(minX, -45.0f);
  EXPECT_NEAR(maxX, 45.0f, 1e-3f);
  EXPECT_EQ(minZ, -45.0f);
  EXPECT_NEAR(maxZ, 45.0f, 1e-3f);
}

class GroundDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    texture_ = scenetest::makeQuadrantTexture(RED, GREEN, BLUE, WHITE);
    sceneTextures[TEX_SKY_NEG_Y] = texture_;
  }
  void TearDown() override {
    glDeleteTextures(1, &texture_);
    sceneTextures[TEX_SKY_NEG_Y] = 0;
    glEnable(GL_LIGHTING);
  }
  static constexpr Rgb RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, WHITE{255, 255, 255};
  GLuint texture_ = 0;
};

TEST_F(GroundDrawing, EachCellShowsTheTileWithSFlippedAndAlternateRowsMirrored) {
  // Straight down onto the ground's corner cells, x to the right.
  scenetest::lookFrom({-44.64, 1.0, -44.64}, {-44.64, 0, -44.64}, {0, 0, -1});
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawGround();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  // Near each cell's low-x, low-z corner: s is near 1 in every cell; t is near 0
  // in even rows and near 1 in odd rows.
  const float e0 = -45.0f, step = 0.18f;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const double x = e0 + column * step + 0.04, z = e0 + row * step + 0.04;
      const Rgb expected = row % 2 == 0 ? GREEN : WHITE;
      EXPECT_EQ(scenetest::pixelAt(x, 0, z), expected) << "column " << column << " row " << row;
      // and near the high-x, low-z corner, s is near 0.
      const Rgb expectedHigh = row % 2 == 0 ? RED : BLUE;
      EXPECT_EQ(scenetest::pixelAt(x + 0.1, 0, z), expectedHigh) << "column " << column << " row " << row;
    }
  }
}

TEST_F(GroundDrawing, CoversExactlyTheNinetyByNinetySquare) {
  scenetest::lookFrom({0, 90, 0.001}, {0, 0, 0}, {0, 0, -1});
  glClearColor(0.5f, 0.5f, 0.5f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);
  drawGround();
  const Rgb clear{128, 128, 128};
  for (double c : {-44.9, 44.9}) {
    EXPECT_NE(scenetest::pixelAt(c, 0, 0), clear) << c;
    EXPECT_NE(scenetest::pixelAt(0, 0, c), clear) << c;
  }
  for (double c : {-45.3, 45.3}) {
    EXPECT_EQ(scenetest::pixelAt(c, 0, 0), clear) << c;
    EXPECT_EQ(scenetest::pixelAt(0, 0, c), clear) << c;
  }
}

TEST_F(GroundDrawing, PiecesDrawWhatImmediateModeDrawsWithinTolerance) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  for (const auto& eye : {std::array<double, 3>{0, 0.5, 5}, std::array<double, 3>{10, 3, -20}}) {
    scenetest::lookFrom(eye, {0, 0, 0});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawGround();
    const std::vector<unsigned char> arrays = supporttest::readBackBuffer(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawGroundImmediate();
    const std::vector<unsigned char> immediate = supporttest::readBackBuffer(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    const FrameDifference difference = compareFrames(immediate, arrays);
    EXPECT_LE(difference.beyondTolerance * 1000, difference.pixels)
        << difference.beyondTolerance << " pixels differ by more than " << PICTURE_TOLERANCE << " levels";
  }
  glDisable(GL_LIGHT0);
}

}  // namespace
