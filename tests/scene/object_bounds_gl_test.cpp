// Every object the culling may leave out lies inside the bounds it is left out
// by: each is drawn in feedback mode and every vertex OpenGL receives is held
// to its box, so that a face moved in the geometry tables cannot outgrow it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "app/shell/window.h"
#include "scene/bench.h"
#include "scene/signboard.h"
#include "scene/sky_box.h"
#include "tests/scene/scene_test_support.h"

namespace {

TEST(ObjectBounds, EveryDrawnVertexLiesInsideTheObjectsBounds) {
  initGL();
  const struct {
    const char* name;
    const SceneObject* object;
  } objects[] = {{"bench", &BENCH_OBJECT}, {"signboard", &SIGNBOARD_OBJECT}, {"sky box", &SKY_BOX_OBJECT}};
  for (const auto& c : objects) {
    SCOPED_TRACE(c.name);
    const ObjectBounds& box = c.object->bounds;
    // An orthographic volume three times the box about its centre: a vertex
    // outside the box but in the volume is seen where it is; one beyond the
    // volume is clipped, and the clip's new vertices lie outside the box too.
    double centre[3], half[3];
    for (int a = 0; a < 3; ++a) {
      centre[a] = (box.min[a] + box.max[a]) / 2.0;
      half[a] = 3 * std::max(0.5 * (box.max[a] - box.min[a]), 1e-3);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(centre[0] - half[0], centre[0] + half[0], centre[1] - half[1], centre[1] + half[1],
            -(centre[2] + half[2]), -(centre[2] - half[2]));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const int signFrame = signboardFrame();
    const auto polygons = scenetest::capturePolygons([&] { c.object->draw(*c.object); });
    setSignboardFrame(signFrame);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    int vertices = 0;
    for (const scenetest::FeedbackPolygon& polygon : polygons) {
      for (const scenetest::FeedbackVertex& v : polygon) {
        // Window coordinates back to the object's own.
        const double at[3] = {centre[0] + (2 * (v.x - viewport[0]) / viewport[2] - 1) * half[0],
                              centre[1] + (2 * (v.y - viewport[1]) / viewport[3] - 1) * half[1],
                              centre[2] - (2 * v.z - 1) * half[2]};
        for (int a = 0; a < 3; ++a) {
          // Within what the window's float coordinates can tell apart.
          const double slack = 1e-4 * half[a];
          EXPECT_GE(at[a], box.min[a] - slack) << "a vertex at " << at[0] << ", " << at[1] << ", " << at[2];
          EXPECT_LE(at[a], box.max[a] + slack) << "a vertex at " << at[0] << ", " << at[1] << ", " << at[2];
        }
        ++vertices;
      }
    }
    EXPECT_GT(vertices, 0) << "nothing drawn";
  }
  reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
}

}  // namespace
