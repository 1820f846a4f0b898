// Picking in a real context with the real frame: clicks on what is drawn under the cursor.
#include <GL/glu.h>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <set>

#include "app/picking.h"
#include "image/scene_textures.h"
#include "math/curve.h"
#include "scene/frame.h"
#include "scene/kart.h"
#include "scene/kart_lap.h"
#include "tests/app/gl_state.h"
#include "tests/support/gl_context.h"

namespace {

struct WindowPoint {
  int x;     // GLUT window coordinates: origin at the top left
  int yTop;
};

class Picking : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { loadSceneTextures(); }

  void SetUp() override {
    testscene::startUp();
    drawFrame();  // the first frame reads the models
  }

  void TearDown() override {
    testgl::resizeWindow(WINDOW_WIDTH, WINDOW_HEIGHT);
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
    curveKartState() = CurveKartState{};
  }

  // Where the world point (x, y, z) lands in the window, under the frame's camera.
  static WindowPoint project(double x, double y, double z) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    placeFreeCamera();
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glLoadIdentity();
    GLdouble wx, wy, wz;
    gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz);
    return {static_cast<int>(wx), viewport[3] - 1 - static_cast<int>(wy)};
  }

  // The curve kart's centre in the world: kart space is scaled by 0.6.
  static WindowPoint curveKartCentre() {
    const CVector3D p = curvePoint(CURVE_CONTROL_POINTS, CURVE_POINT_COUNT, sceneState.curveParam);
    return project(KART_SCALE * p.x, KART_SCALE * p.y, KART_SCALE * p.z);
  }

  // A left click as GLUT delivers it; returns whether the lap was toggled.
  static bool click(const WindowPoint& at) {
    const bool before = sceneState.curveAnimationOn;
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, at.x, at.yTop);
    return sceneState.curveAnimationOn != before;
  }

  static std::set<GLuint> lastNames() {
    std::set<GLuint> names;
    const GLuint* records = lastPickRecords();
    int pos = 0;
    for (int hit = 0; hit < lastPickHitCount(); ++hit) {
      for (GLuint n = 0; n < records[pos]; ++n) names.insert(records[pos + 3 + n]);
      pos += 3 + static_cast<int>(records[pos]);
    }
    return names;
  }
};

TEST_F(Picking, ClickOnTheCurveKartStartsAndStopsItsLap) {
  sceneState.curveParam = 0.5f;  // on the first leg, clear of the signboard
  const WindowPoint kart = curveKartCentre();
  EXPECT_TRUE(click(kart));
  EXPECT_TRUE(sceneState.curveAnimationOn);
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_CURVE_KART, PICK_NAME_SCENERY}));
  EXPECT_TRUE(click(kart));
  EXPECT_FALSE(sceneState.curveAnimationOn);
}

TEST_F(Picking, ReleaseAndOtherButtonsDoNothing) {
  sceneState.curveParam = 0.5f;
  const WindowPoint kart = curveKartCentre();
  mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, kart.x, kart.yTop);
  mouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, kart.x, kart.yTop);
  EXPECT_FALSE(sceneState.curveAnimationOn);
}

TEST_F(Picking, SkyParkedKartAndBenchAloneToggleNothing) {
  const WindowPoint sky{100, 50};
  EXPECT_FALSE(click(sky));
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_SCENERY}));

  const WindowPoint parked = project(-9 * KART_SCALE, 0.33 * KART_SCALE, -5 * KART_SCALE);
  EXPECT_FALSE(click(parked));
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_SCENERY}));

  const WindowPoint bench = project(0.75, 0.16, 0.25);
  EXPECT_FALSE(click(bench));
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_SCENERY}));
  EXPECT_FALSE(sceneState.curveAnimationOn);
}

TEST_F(Picking, SignboardAloneToggles) {
  sceneState.curveParam = 0.5f;
  EXPECT_TRUE(click(project(0.05, 3.0, 1.0)));
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_SIGNBOARD, PICK_NAME_SCENERY}));
}

TEST_F(Picking, KartBehindTheSignboardPostTogglesNothing) {
  // From the start pose the kart at its start stands right behind the post; a
  // click on the post's lower part finds both (depth plays no part).
  sceneState.curveParam = 0;
  EXPECT_FALSE(click(project(0.05, 0.4, 1.0)));
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_SIGNBOARD, PICK_NAME_CURVE_KART, PICK_NAME_SCENERY}));
}

TEST_F(Picking, ClickAfterResizeStillFindsTheKart) {
  testgl::resizeWindow(800, 600);
  reshape(800, 600);
  drawFrame();
  sceneState.curveParam = 0.5f;
  const WindowPoint kart = curveKartCentre();
  EXPECT_TRUE(click(kart));
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_CURVE_KART, PICK_NAME_SCENERY}));
}

TEST_F(Picking, PickLeavesProjectionAndMatrixModeAsTheyWere) {
  double before[16], after[16];
  glGetDoublev(GL_PROJECTION_MATRIX, before);
  pickAt(650, 500);
  glGetDoublev(GL_PROJECTION_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]);
  GLint mode;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  GLint renderMode;
  glGetIntegerv(GL_RENDER_MODE, &renderMode);
  EXPECT_EQ(renderMode, GL_RENDER);
}

TEST(PickVerdict, ExactlyOneOfSignboardAndCurveKart) {
  // Records: name count, depth min, depth max, names.
  const GLuint scenery[] = {1, 0, 0, 1};
  const GLuint signAndScenery[] = {1, 0, 0, 0, 1, 0, 0, 1};
  const GLuint kartOnly[] = {1, 0, 0, 2};
  const GLuint all[] = {1, 0, 0, 0, 1, 0, 0, 2, 1, 0, 0, 1};
  EXPECT_FALSE(pickToggles(scenery, 1));
  EXPECT_TRUE(pickToggles(signAndScenery, 2));
  EXPECT_TRUE(pickToggles(kartOnly, 1)) << "the sky box need not be under the cursor";
  EXPECT_FALSE(pickToggles(all, 3));
  EXPECT_FALSE(pickToggles(all, -1)) << "an overflowed buffer decides nothing";
  EXPECT_FALSE(pickToggles(all, 0));
}

}  // namespace
