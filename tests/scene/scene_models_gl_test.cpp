// The scene's own models, read, prepared and drawn as the scene does, and the
// grass patches where the frame puts them.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "app/scene_state.h"
#include "app/shell/window.h"
#include "glm/glm.h"
#include "image/scene_textures.h"
#include "scene/frame.h"
#include "scene/grass.h"
#include "scene/kart.h"
#include "scene/materials.h"
#include "tests/app/gl_state.h"
#include "tests/scene/scene_test_support.h"
#include "tests/support/gl_context.h"

namespace {

struct Bounds {
  float min[3] = {1e30f, 1e30f, 1e30f};
  float max[3] = {-1e30f, -1e30f, -1e30f};
  float extent(int axis) const { return max[axis] - min[axis]; }
};

Bounds boundsOf(const ObjModel& model) {
  Bounds b;
  for (unsigned v = 1; v <= model.nvertices; ++v) {
    for (int a = 0; a < 3; ++a) {
      b.min[a] = std::min(b.min[a], model.vertices[3 * v + a]);
      b.max[a] = std::max(b.max[a], model.vertices[3 * v + a]);
    }
  }
  return b;
}

// Reads and prepares a model as the scene's lazy loader does.
std::unique_ptr<ObjModel> readPrepared(const char* path) {
  std::unique_ptr<ObjModel> model(glmReadOBJ(path));
  glmFitToUnitCube(model.get());
  glmScaleVertices(model.get(), 2.0f);
  glmComputeFacetNormals(model.get());
  glmVertexNormals(model.get(), 90.0f);
  return model;
}

// Everything glmCompileList printed on standard output while compiling.
std::string compileCapturingStdout(ObjModel* model, GLuint* list) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  *list = glmCompileList(model, DRAW_SMOOTH | DRAW_MATERIAL);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

void expectUnitNormals(const ObjModel& model) {
  ASSERT_EQ(model.normals.size(), 3u * (model.nnormals + 1));
  for (unsigned n = 1; n <= model.nnormals; ++n) {
    const float* v = &model.normals[3 * n];
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    ASSERT_TRUE(std::isfinite(length)) << n;
    ASSERT_NEAR(length, 1.0f, 1e-4f) << n;
  }
}

class SceneModels : public ::testing::Test {
 protected:
  void SetUp() override { apptest::startUp(); }
};

TEST_F(SceneModels, KartReadsPreparesAndDrawsAsTheScene) {
  auto kart = readPrepared(KART_MODEL_PATH);
  EXPECT_GE(kart->ntris, 3000u);
  EXPECT_GE(kart->ngroups, 5u);
  EXPECT_GT(kart->nmtls, 5u);
  // Every group with triangles has a material of its own.
  for (ObjGroup* g = kart->grouplist; g; g = g->next) {
    if (g->ntris > 0) {
      EXPECT_NE(g->material, 0u) << g->name;
    }
  }
  // At least one TGA and one BMP material texture went through the loaders.
  bool tga = false, bmp = false;
  for (const ObjTexture& t : kart->tex) {
    tga |= t.name.find(".tga") != std::string::npos;
    bmp |= t.name.find(".bmp") != std::string::npos;
    EXPECT_TRUE(glIsTexture(t.id)) << t.name;
    EXPECT_GT(t.width, 0);
  }
  EXPECT_TRUE(tga && bmp);

  // Fitted and doubled: the length along x is the largest extent, 2; the kart
  // stands at kart-space height 0.33, so half its height is about that much.
  const Bounds b = boundsOf(*kart);
  EXPECT_NEAR(b.extent(0), 2.0f, 1e-4f);
  EXPECT_LE(b.extent(1), 2.0f);
  EXPECT_LE(b.extent(2), 2.0f);
  EXPECT_NEAR(b.extent(1) / 2, 0.33f, 0.02f) << "the wheels should touch the ground";
  expectUnitNormals(*kart);

  GLuint list = 0;
  EXPECT_EQ(compileCapturingStdout(kart.get(), &list), "") << "mode 18 on a prepared model warns about nothing";
  EXPECT_TRUE(glIsList(list));

  // Drawn from the side, the kart covers a good part of the view.
  scenetest::lookFrom({0, 0.3, 3}, {0, 0, 0});
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glCallList(list);
  glPopAttrib();
  const std::vector<unsigned char> rgba = supporttest::readBackBuffer(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  size_t covered = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) covered += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
  EXPECT_GT(covered, static_cast<size_t>(WINDOW_WIDTH * WINDOW_HEIGHT / 20));
  glDeleteLists(list, 1);
  for (const ObjTexture& t : kart->tex) glDeleteTextures(1, &t.id);
  glmDelete(kart.release());
}

TEST_F(SceneModels, GrassIsAWideLowTuftInAFewGreens) {
  auto grass = readPrepared(GRASS_MODEL_PATH);
  EXPECT_GE(grass->ntris, 300u);
  EXPECT_GE(grass->nmtls, 3u);  // "default" and two or three greens
  EXPECT_LE(grass->nmtls, 4u);
  for (unsigned m = 1; m < grass->nmtls; ++m) {
    const float* d = grass->mtls[m].diffuse;
    EXPECT_GT(d[1], d[0]) << grass->mtls[m].name << " should be green";
    EXPECT_GT(d[1], d[2]) << grass->mtls[m].name << " should be green";
  }
  const Bounds b = boundsOf(*grass);
  EXPECT_NEAR(std::max(b.extent(0), b.extent(2)), 2.0f, 1e-4f) << "wider than tall";
  EXPECT_LT(b.extent(1), 1.0f);
  expectUnitNormals(*grass);
  GLuint list = 0;
  EXPECT_EQ(compileCapturingStdout(grass.get(), &list), "");
  glDeleteLists(list, 1);
  glmDelete(grass.release());
}

TEST_F(SceneModels, GrassPatchLeavesChromeCurrentAndTheMatrixAlone) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(1, 2, 3);
  double before[16], after[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, before);
  applyMaterial(BRONZE_MATERIAL);
  drawGrass(1, 0.2, 7);
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]);
  GLfloat diffuse[4];
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(diffuse[i], CHROME_MATERIAL.diffuse[i]);
  EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
  glLoadIdentity();
}

// Looks straight down from 2 units above the world point (x, z) through a
// narrow lens, runs the whole frame in feedback mode, and counts the vertices
// that stand above the ground there.
int raisedVerticesBelow(double x, double z) {
  sceneState.carView = false;
  sceneState.cameraPos = {x, 1.5, z};
  sceneState.cameraYaw = -90;
  sceneState.cameraPitch = -89.9;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(20, 1.3, 0.1, 100);
  glMatrixMode(GL_MODELVIEW);

  const auto polygons = scenetest::capturePolygons(drawFrame, 1 << 23);
  // Unproject with the matrices the frame used: the camera, then the second
  // bench's translation does not matter for raised vertices near the grass.
  glLoadIdentity();
  placeFreeCamera();
  const supporttest::Transform camera = supporttest::currentTransform();
  glLoadIdentity();
  int raised = 0;
  for (const auto& polygon : polygons) {
    for (const auto& v : polygon) {
      GLdouble wx, wy, wz;
      gluUnProject(v.x, v.y, v.z, camera.modelview, camera.projection, camera.viewport, &wx, &wy, &wz);
      raised += wy > 0.02;
    }
  }
  return raised;
}

TEST_F(SceneModels, FramePlantsFourGrassPatches) {
  loadSceneTextures();
  drawFrame();  // reads the models
  // Kart space is 0.6 times the world: patches at (1, 7), (5, 6), (3, 7), (9, 3).
  const std::array<std::array<double, 2>, 4> patches = {{{0.6, 4.2}, {3.0, 3.6}, {1.8, 4.2}, {5.4, 1.8}}};
  for (const auto& p : patches) EXPECT_GT(raisedVerticesBelow(p[0], p[1]), 100) << p[0] << ", " << p[1];
  // Between and beside them there is only ground.
  for (const auto& p : std::array<std::array<double, 2>, 3>{{{-2.0, 4.2}, {4.2, 6.0}, {7.5, 1.8}}}) {
    EXPECT_EQ(raisedVerticesBelow(p[0], p[1]), 0) << p[0] << ", " << p[1];
  }
  reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
}

}  // namespace
