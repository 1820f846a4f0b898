// Picking in a real context with the real frame: clicks on what is drawn under the cursor.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/shell/picking.h"
#include "app/shell/shell.h"
#include "image/scene_textures.h"
#include "math/curve.h"
#include "scene/frame.h"
#include "scene/kart.h"
#include "scene/kart_lap.h"
#include "scene/pick_names.h"
#include "tests/app/scene_fixture.h"
#include "tests/support/gl_context.h"

namespace {

struct WindowPoint {
  int x;     // GLUT window coordinates: origin at the top left
  int yTop;
};

class Picking : public apptest::SceneTest {
 protected:
  // Where the world point (x, y, z) lands in the window, under the frame's camera.
  static WindowPoint project(double x, double y, double z) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    placeFreeCamera();
    const std::array<double, 3> window = supporttest::projectToWindow(x, y, z);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glLoadIdentity();
    return {static_cast<int>(window[0]), viewport[3] - 1 - static_cast<int>(window[1])};
  }

  // The window pixels that show the curve kart: the kart drawn alone, as the
  // frame would place it, on a cleared buffer.
  static std::vector<WindowPoint> curveKartPixels() {
    const CVector3D p = curvePoint(CURVE_CONTROL_POINTS, CURVE_POINT_COUNT, sceneState.curveParam);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    placeFreeCamera();
    drawKart(p.x, p.y, p.z, curveKartState().kartHeading);
    glLoadIdentity();
    const std::vector<unsigned char> rgba = supporttest::readBackBuffer(0, 0, viewport[2], viewport[3]);
    std::vector<WindowPoint> pixels;
    for (int y = 0; y < viewport[3]; ++y) {
      for (int x = 0; x < viewport[2]; ++x) {
        const unsigned char* px = &rgba[(static_cast<size_t>(y) * viewport[2] + x) * 4];
        if (px[0] | px[1] | px[2]) pixels.push_back({x, viewport[3] - 1 - y});
      }
    }
    return pixels;
  }

  // The kart pixel nearest to the centre of all the kart's pixels: where a
  // person aims at the kart (its bounding box's centre may be open air).
  static WindowPoint curveKartCentre() {
    const std::vector<WindowPoint> pixels = curveKartPixels();
    EXPECT_GT(pixels.size(), 50u) << "the curve kart should be in view";
    if (pixels.empty()) return {0, 0};
    double cx = 0, cy = 0;
    for (const WindowPoint& p : pixels) {
      cx += p.x;
      cy += p.yTop;
    }
    cx /= pixels.size();
    cy /= pixels.size();
    WindowPoint best = pixels.front();
    double bestDistance = 1e18;
    for (const WindowPoint& p : pixels) {
      const double d = (p.x - cx) * (p.x - cx) + (p.yTop - cy) * (p.yTop - cy);
      if (d < bestDistance) {
        bestDistance = d;
        best = p;
      }
    }
    return best;
  }

  // A left click as the shell hands it on, at GLUT's window coordinates;
  // returns whether the lap was toggled.
  static bool click(const WindowPoint& at) {
    const bool before = sceneState.curveAnimationOn;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    lastHits() = clickAt(at.x, at.yTop, viewport[3]);
    return sceneState.curveAnimationOn != before;
  }

  static PickHits& lastHits() {
    static PickHits hits;
    return hits;
  }

  static std::set<GLuint> lastNames() {
    std::set<GLuint> names;
    for (const HitRecord& record : lastHits().records) names.insert(record.names.begin(), record.names.end());
    return names;
  }
};

TEST_F(Picking, ClickOnTheCurveKartStartsAndStopsItsLap) {
  sceneState.curveParam = 0.3f;  // on the first leg, well left of the centre line
  const WindowPoint kart = curveKartCentre();
  EXPECT_TRUE(click(kart));
  EXPECT_TRUE(sceneState.curveAnimationOn);
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_CURVE_KART, PICK_NAME_SCENERY}));
  EXPECT_TRUE(click(kart));
  EXPECT_FALSE(sceneState.curveAnimationOn);
}

TEST_F(Picking, ReleaseAndOtherButtonsDoNothing) {
  sceneState.curveParam = 0.3f;
  const WindowPoint kart = curveKartCentre();
  // Checked after each event: two wrong toggles would cancel out at the end.
  const struct {
    const char* event;
    int button, state;
  } events[] = {{"left release", GLUT_LEFT_BUTTON, GLUT_UP},
                {"middle press", GLUT_MIDDLE_BUTTON, GLUT_DOWN},
                {"middle release", GLUT_MIDDLE_BUTTON, GLUT_UP},
                {"right press", GLUT_RIGHT_BUTTON, GLUT_DOWN}};
  for (const auto& e : events) {
    mouseButton(e.button, e.state, kart.x, kart.yTop);
    EXPECT_FALSE(sceneState.curveAnimationOn) << e.event << " on the kart toggled the lap";
  }
  // The same spot with the left button does toggle: the events above were aimed right.
  mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, kart.x, kart.yTop);
  EXPECT_TRUE(sceneState.curveAnimationOn);
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
  sceneState.curveParam = 0.3f;
  EXPECT_TRUE(click(project(0.05, 3.0, 1.0)));
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_SIGNBOARD, PICK_NAME_SCENERY}));
}

TEST_F(Picking, KartBehindTheSignboardPostTogglesNothing) {
  // From the start pose the kart at its start stands right behind the post; a
  // click where the post hides the kart finds both (depth plays no part).
  sceneState.curveParam = 0;
  const WindowPoint postLeft = project(0.0, 0.5, 1.0), postRight = project(0.1, 0.5, 1.0);
  WindowPoint behindPost{-1, -1};
  for (const WindowPoint& p : curveKartPixels()) {
    if (p.x > postLeft.x + 2 && p.x < postRight.x - 2) {
      behindPost = p;
      break;
    }
  }
  ASSERT_GE(behindPost.x, 0) << "the post should hide part of the kart";
  EXPECT_FALSE(click(behindPost));
  EXPECT_EQ(lastNames(), (std::set<GLuint>{PICK_NAME_SIGNBOARD, PICK_NAME_CURVE_KART, PICK_NAME_SCENERY}));
}

TEST_F(Picking, ClickAfterResizeStillFindsTheKart) {
  supporttest::resizeWindow(800, 600);
  reshape(800, 600);
  drawFrame();
  sceneState.curveParam = 0.3f;
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
