// The benches and the signboard: their geometry as OpenGL receives it, their
// materials, and the signboard's pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/shell/window.h"
#include "image/scene_textures.h"
#include "scene/bench.h"
#include "scene/materials.h"
#include "scene/signboard.h"
#include "tests/scene/scene_test_support.h"

namespace {

using scenetest::FeedbackPolygon;
using scenetest::Rgb;

struct Box {
  float min[3] = {1e9f, 1e9f, 1e9f};
  float max[3] = {-1e9f, -1e9f, -1e9f};
};

// Half the side of the orthographic box that feedback captures are taken in.
constexpr float EXTENT = 4;

// World coordinates back from feedback window coordinates under glOrtho over
// [-EXTENT, EXTENT] in every axis and an identity modelview.
std::array<float, 3> worldOf(const scenetest::FeedbackVertex& v) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  return {(2 * v.x / viewport[2] - 1) * EXTENT, (2 * v.y / viewport[3] - 1) * EXTENT, -(2 * v.z - 1) * EXTENT};
}

std::vector<FeedbackPolygon> captureInWorld(const std::function<void()>& draw) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-EXTENT, EXTENT, -EXTENT, EXTENT, -EXTENT, EXTENT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return scenetest::capturePolygons(draw);
}

Box boundsOf(const std::vector<FeedbackPolygon>& polygons) {
  Box box;
  for (const FeedbackPolygon& polygon : polygons) {
    for (const auto& v : polygon) {
      const auto w = worldOf(v);
      for (int a = 0; a < 3; ++a) {
        box.min[a] = std::min(box.min[a], w[a]);
        box.max[a] = std::max(box.max[a], w[a]);
      }
    }
  }
  return box;
}

// Area of the polygons' faces, whatever Mesa split them into, in world units.
double areaOf(const std::vector<FeedbackPolygon>& polygons) {
  double total = 0;
  for (const FeedbackPolygon& polygon : polygons) {
    const auto a = worldOf(polygon[0]);
    for (size_t i = 1; i + 1 < polygon.size(); ++i) {
      const auto b = worldOf(polygon[i]);
      const auto c = worldOf(polygon[i + 1]);
      const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
      const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
      const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
      total += 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    }
  }
  return total;
}

void expectMaterial(const MaterialPreset& preset) {
  GLfloat value[4];
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, value);
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(value[i], preset.ambient[i]);
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, value);
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(value[i], preset.diffuse[i]);
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, value);
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(value[i], preset.specular[i]);
  glGetMaterialfv(GL_FRONT, GL_SHININESS, value);
  EXPECT_FLOAT_EQ(value[0], preset.shininess);
}

class SceneObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glGenTextures(SCENE_TEXTURE_COUNT, sceneTextures);
  }
  void TearDown() override {
    glDeleteTextures(SCENE_TEXTURE_COUNT, sceneTextures);
    for (GLuint& name : sceneTextures) name = 0;
    setSignboardFrame(0);
  }
};

TEST_F(SceneObjects, BenchSpansItsWorldBoxWithSeatBetweenSupports) {
  const auto polygons = captureInWorld(drawBench);
  const Box box = boundsOf(polygons);
  EXPECT_NEAR(box.min[0], 0.665f, 1e-4f);
  EXPECT_NEAR(box.max[0], 0.84f, 1e-4f);
  EXPECT_NEAR(box.min[1], 0.0f, 1e-4f);
  EXPECT_NEAR(box.max[1], 0.42f, 1e-4f);
  EXPECT_NEAR(box.min[2], -0.035f, 1e-4f);
  EXPECT_NEAR(box.max[2], 0.525f, 1e-4f);

  // Area: per support, feet front/back trapezoids 2 x 12, slopes 2 x sqrt(10)
  // x 1, column front/back 2 x 27, top 3, sides 2 x 9; per seat, front/back
  // 2 x 5, top 70, sides 2 x 14. In bench units, scaled by 0.035 squared.
  const double support = 24 + 2 * std::sqrt(10.0) + 54 + 3 + 18;
  const double seat = 10 + 70 + 28;
  EXPECT_NEAR(areaOf(polygons), (2 * support + seat) * 0.035 * 0.035, 1e-4);

  EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  expectMaterial(BRONZE_MATERIAL);  // the seat is drawn last
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), sceneTextures[TEX_WOOD]);
}

TEST_F(SceneObjects, BenchPartsUseTheirOwnTextureAndMaterial) {
  captureInWorld([] { drawBenchSupport(1); });
  expectMaterial(SILVER_MATERIAL);
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), sceneTextures[TEX_CONCRETE]);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(SceneObjects, SecondBenchStandsTwoUnitsFurtherAlongZ) {
  const auto polygons = captureInWorld([] {
    glTranslated(0, 0, 2);
    drawBench();
  });
  const Box box = boundsOf(polygons);
  EXPECT_NEAR(box.min[2], 1.965f, 1e-4f);
  EXPECT_NEAR(box.max[2], 2.525f, 1e-4f);
}

TEST_F(SceneObjects, SignboardShowsPicturesOneToEightInTurn) {
  for (int call = 1; call <= 17; ++call) {
    captureInWorld(drawSignboard);
    const int picture = (call - 1) % 8 + 1;
    GLint bound;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), sceneTextures[TEX_CACTUS_FIRST + picture - 1]) << "call " << call;
    EXPECT_EQ(signboardFrame(), call % 8 == 0 ? 8 : call % 8) << "call " << call;
  }
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  expectMaterial(SILVER_MATERIAL);
}

TEST_F(SceneObjects, SignboardSpansPostAndBoard) {
  const Box box = boundsOf(captureInWorld(drawSignboard));
  EXPECT_NEAR(box.min[0], -0.05f, 1e-4f);
  EXPECT_NEAR(box.max[0], 0.15f, 1e-4f);
  EXPECT_NEAR(box.min[1], 0.0f, 1e-4f);
  EXPECT_NEAR(box.max[1], 3.4f, 1e-4f) << "top of the board";
  EXPECT_NEAR(box.min[2], 0.0f, 1e-4f);
  EXPECT_NEAR(box.max[2], 2.0f, 1e-4f);
}

TEST_F(SceneObjects, SignboardPictureReadsUnmirroredFromBothSides) {
  glDeleteTextures(1, &sceneTextures[TEX_CACTUS_FIRST]);
  const Rgb lowLeft{200, 0, 0}, lowRight{0, 200, 0}, highLeft{0, 0, 200}, highRight{200, 200, 0};
  sceneTextures[TEX_CACTUS_FIRST] = scenetest::makeQuadrantTexture(lowLeft, lowRight, highLeft, highRight);
  glDisable(GL_LIGHTING);
  glColor3f(1, 1, 1);
  glEnable(GL_DEPTH_TEST);
  struct Side {
    double eyeX;
    double rightZ;  // the viewer's right runs along this sign of z
  };
  for (const Side& side : {Side{4, -1}, Side{-4, 1}}) {
    setSignboardFrame(0);
    scenetest::lookFrom({side.eyeX, 2.7, 1}, {0, 2.7, 1});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawSignboard();
    const double x = side.eyeX > 0 ? 0.15 : -0.05;
    EXPECT_EQ(scenetest::pixelAt(x, 2.2, 1 - 0.5 * side.rightZ), lowLeft) << side.eyeX;
    EXPECT_EQ(scenetest::pixelAt(x, 2.2, 1 + 0.5 * side.rightZ), lowRight) << side.eyeX;
    EXPECT_EQ(scenetest::pixelAt(x, 3.2, 1 - 0.5 * side.rightZ), highLeft) << side.eyeX;
    EXPECT_EQ(scenetest::pixelAt(x, 3.2, 1 + 0.5 * side.rightZ), highRight) << side.eyeX;
  }
  glEnable(GL_LIGHTING);
}

}  // namespace
