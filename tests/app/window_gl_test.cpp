// The fixed GL state and the reshape projection, read back from a real context.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/shell/window.h"
#include "tests/app/gl_state.h"

namespace {

void readProjection(double m[16]) { glGetDoublev(GL_PROJECTION_MATRIX, m); }

TEST(Reshape, SetsViewportAndSixtyDegreePerspective) {
  reshape(1300, 1000);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 1300);
  EXPECT_EQ(viewport[3], 1000);

  double m[16];
  readProjection(m);
  const double f = 1 / std::tan(30 * M_PI / 180);
  EXPECT_NEAR(m[0], f / 1.3, 1e-6);
  EXPECT_NEAR(m[5], f, 1e-6);
  EXPECT_NEAR(m[10], (100 + 0.1) / (0.1 - 100), 1e-6);
  EXPECT_NEAR(m[11], -1, 1e-9);
  EXPECT_NEAR(m[14], 2 * 100 * 0.1 / (0.1 - 100), 1e-6);
  EXPECT_EQ(m[15], 0);

  GLint mode;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST(Reshape, AspectFollowsTheNewSize) {
  reshape(800, 600);
  double m[16];
  readProjection(m);
  EXPECT_NEAR(m[5] / m[0], 800.0 / 600.0, 1e-6);
  reshape(1300, 1000);
}

TEST(Reshape, ZeroHeightKeepsThePreviousProjection) {
  reshape(1300, 1000);
  double before[16], after[16];
  readProjection(before);
  reshape(640, 0);
  readProjection(after);
  for (int i = 0; i < 16; ++i) {
    EXPECT_TRUE(std::isfinite(after[i])) << i;
    EXPECT_EQ(after[i], before[i]) << i;
  }
}

TEST(InitGL, DepthTestSmoothShadingLocalViewerLightingNoCulling) {
  // Every setting first the other way from OpenGL's defaults and from what
  // initGL wants, so that each check below holds only because initGL set it.
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glEnable(GL_CULL_FACE);
  glShadeModel(GL_FLAT);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
  glCullFace(GL_FRONT);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
  initGL();
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  GLint value;
  glGetIntegerv(GL_SHADE_MODEL, &value);
  EXPECT_EQ(value, GL_SMOOTH);
  glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &value);
  EXPECT_EQ(value, 1);
  glGetIntegerv(GL_CULL_FACE_MODE, &value);
  EXPECT_EQ(value, GL_BACK);
  GLint modes[2];
  glGetIntegerv(GL_POLYGON_MODE, modes);
  EXPECT_EQ(modes[0], GL_FILL);
  EXPECT_EQ(modes[1], GL_FILL);
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  for (float c : clear) EXPECT_EQ(c, 0);
}

}  // namespace
