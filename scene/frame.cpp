// One frame: the scene composition and what surrounds it.
#include "scene/frame.h"

#include <GL/gl.h>

#include <cmath>

#include "app/camera.h"
#include "app/lighting.h"
#include "scene/bench.h"
#include "scene/grass.h"
#include "scene/ground.h"
#include "scene/kart.h"
#include "scene/pick_names.h"
#include "scene/signboard.h"
#include "scene/sky_box.h"

void drawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPushMatrix();
  composeScene();
  // Sky box and ground stand under the second bench's translation, which the
  // composition leaves on the stack.
  drawObject(SKY_BOX_OBJECT);
  drawGround();
  glPopMatrix();
}

void composeScene() {
  placeLightsAndCamera();

  // ---- Objects, in pick-name order: the signboard under the name the pick
  // pass pushed, the curve kart under its own, everything else under scenery.
  drawObject(SIGNBOARD_OBJECT);
  drawKartOnCurve();
  glLoadName(PICK_NAME_SCENERY);
  const ScenePoint circling = spinningKartPlace();
  drawKart(-9, KART_STAND_HEIGHT, -5, 0);                                   // parked
  drawKart(circling.x, circling.y, circling.z, 90 - sceneState.spinAngle);  // same side to the centre
  drawGrass(1, GRASS_CENTRE_HEIGHT, 7);
  drawGrass(5, GRASS_CENTRE_HEIGHT, 6);
  drawGrass(3, GRASS_CENTRE_HEIGHT, 7);
  drawGrass(9, GRASS_CENTRE_HEIGHT, 3);
  drawObject(BENCH_OBJECT);
  // The second bench's translation stays on the stack for the sky box and ground.
  glTranslated(0, 0, 2);
  drawObject(BENCH_OBJECT);
}

void placeLightsAndCamera() {
  // Given before the camera, the lights' positions are in eye space.
  if (sceneState.sunOn) placeSunLight();
  if (sceneState.headlightOn) placeHeadlight();
  placeCamera();
}

void placeCamera() {
  if (sceneState.carView) {
    const ScenePoint kart = spinningKartPlace();
    placeCarViewCamera(kart.x, kart.y, kart.z);
  } else {
    placeFreeCamera();
  }
}

ScenePoint spinningKartPlace() {
  return {6 * std::cos(sceneState.spinAngle * DEG_TO_RAD), KART_STAND_HEIGHT,
          6 * std::sin(sceneState.spinAngle * DEG_TO_RAD)};
}
