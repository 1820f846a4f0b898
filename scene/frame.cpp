// One frame: the scene composition and what surrounds it.
#include "scene/frame.h"

#include <GL/gl.h>

#include <cmath>

#include "app/camera.h"
#include "app/lighting.h"
#include "app/scene_state.h"
#include "scene/bench.h"
#include "scene/draw_path.h"
#include "scene/grass.h"
#include "scene/ground.h"
#include "scene/kart.h"
#include "scene/pick_names.h"
#include "scene/selection_drawing.h"
#include "scene/signboard.h"
#include "scene/sky_box.h"
#include "scene/view_cull.h"

namespace {

bool selecting() {
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_SELECT;
}

// A bench that cannot show is left out in the culled path. What it leaves
// behind (its material, its texture binding, the current normal) is replaced
// by the sky box and the ground before anything uses it. In selection mode it
// is recorded first (see selection_drawing.h).
void drawBenchIfShowing() {
  // Around both supports and the seat: bench space x 19..24, y 0..12,
  // z -1..15, scaled by BENCH_SCALE, with room to spare.
  constexpr float MIN[3] = {18 * BENCH_SCALE, -1 * BENCH_SCALE, -14 * BENCH_SCALE};
  constexpr float MAX[3] = {25 * BENCH_SCALE, 13 * BENCH_SCALE, 17 * BENCH_SCALE};
  if (drawPath() == DrawPath::Culled) {
    if (!boxCanShow(MIN, MAX)) return;
    if (selecting()) {
      drawRecorded(drawBench);
      return;
    }
  }
  drawBench();
}

}  // namespace

void drawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPushMatrix();
  composeScene();
  // Sky box and ground stand under the second bench's translation, which the
  // composition leaves on the stack. A culled pick sends the sky box from
  // arrays (see selection_drawing.h).
  if (drawPath() == DrawPath::Culled && selecting()) {
    drawSkyBoxFromArrays();
  } else {
    drawSkyBox();
  }
  drawGround();
  glPopMatrix();
}

void composeScene() {
  // ---- Lights given before the camera: their positions are in eye space.
  if (sceneState.sunOn) placeSunLight();
  if (sceneState.headlightOn) placeHeadlight();

  // ---- Camera.
  const double kx = 6 * std::cos(sceneState.spinAngle * DEG_TO_RAD);
  const double kz = 6 * std::sin(sceneState.spinAngle * DEG_TO_RAD);
  if (sceneState.carView) {
    placeCarViewCamera(kx, 0.33, kz);
  } else {
    placeFreeCamera();
  }

  // ---- Objects, in pick-name order: the signboard under the name the pick
  // pass pushed, the curve kart under its own, everything else under scenery.
  if (drawPath() == DrawPath::Culled && selecting()) {
    drawSignboardIfShowing();
  } else {
    drawSignboard();
  }
  drawKartOnCurve();
  glLoadName(PICK_NAME_SCENERY);
  drawKart(-9, 0.33, -5, 0);                           // parked
  drawKart(kx, 0.33, kz, 90 - sceneState.spinAngle);  // circling, same side to the centre
  drawGrass(1, 0.2, 7);
  drawGrass(5, 0.2, 6);
  drawGrass(3, 0.2, 7);
  drawGrass(9, 0.2, 3);
  drawBenchIfShowing();
  // The second bench's translation stays on the stack for the sky box and ground.
  glTranslated(0, 0, 2);
  drawBenchIfShowing();
}
