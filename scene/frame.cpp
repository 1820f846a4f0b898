// One frame: the display callback and the scene composition it draws.
#include "scene/frame.h"

#include <GL/glut.h>

#include <cmath>

#include "app/camera.h"
#include "app/lighting.h"
#include "app/scene_state.h"
#include "scene/bench.h"
#include "scene/draw_path.h"
#include "scene/grass.h"
#include "scene/ground.h"
#include "scene/kart.h"
#include "scene/signboard.h"
#include "scene/sky_box.h"

void display() {
  drawFrame();
  glutSwapBuffers();
}

void drawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPushMatrix();
  composeScene();
  // Hands the objects to llvmpipe's rasteriser threads now, so that they fill
  // them while this thread prepares the sky box and the ground. Pixels do not change.
  if (drawPath() == DrawPath::Culled) glFlush();
  // Sky box and ground stand under the second bench's translation, which the
  // composition leaves on the stack.
  drawSkyBox();
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
  drawSignboard();
  drawKartOnCurve();
  glLoadName(PICK_NAME_SCENERY);
  drawKart(-9, 0.33, -5, 0);                           // parked
  drawKart(kx, 0.33, kz, 90 - sceneState.spinAngle);  // circling, same side to the centre
  drawGrass(1, 0.2, 7);
  drawGrass(5, 0.2, 6);
  drawGrass(3, 0.2, 7);
  drawGrass(9, 0.2, 3);
  drawBench();
  // The second bench's translation stays on the stack for the sky box and ground.
  glTranslated(0, 0, 2);
  drawBench();
}
