// The four lights, their switches and their per-frame placements.
#include "app/lighting.h"

#include <GL/gl.h>

#include <cmath>

#include "app/scene_state.h"

LightVector sunPosition(const SceneState& state) {
  if (!state.sunMoving) return SUN_DIRECTION_STILL;
  const double a = -2 * state.sunAngle * DEG_TO_RAD;
  return {static_cast<float>(3 * std::sin(a)), 1, static_cast<float>(3 * std::cos(a)), 0};
}

LightVector sunDiffuse(const SceneState& state) {
  if (!state.colorChangeOn) return SUN_DIFFUSE;
  return {state.lightColor[0], state.lightColor[1], state.lightColor[2], state.lightColor[3]};
}

LightVector kartLampDiffuse(const SceneState& state) {
  if (!state.colorChangeOn) return KART_LAMP_DIFFUSE;
  return {state.lightColor[0], state.lightColor[1], state.lightColor[2], state.lightColor[3]};
}

void initKartLights() {
  glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, KART_LAMP_CUTOFF);
  glLightf(GL_LIGHT2, GL_SPOT_CUTOFF, KART_LAMP_CUTOFF);
  glEnable(GL_LIGHT1);
  glEnable(GL_LIGHT2);
}

void resetLights() {
  const GLfloat white[4] = {1, 1, 1, 1};
  const GLfloat black[4] = {0, 0, 0, 1};
  const GLfloat position[4] = {0, 0, 1, 0};
  const GLfloat direction[3] = {0, 0, -1};
  const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1};
  // Positions and directions are taken in eye space: given under the identity,
  // they are OpenGL's initial ones.
  GLint mode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) {
    glDisable(light);
    glLightfv(light, GL_DIFFUSE, light == GL_LIGHT0 ? white : black);
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glLightf(light, GL_SPOT_CUTOFF, 180);
  }
  glPopMatrix();
  glMatrixMode(mode);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
}

// The global ambient is not a switch of its own: whichever of the sun and
// headlight toggles ran last has set it.
void toggleSun() {
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, SUN_AMBIENT.data());
  if (sceneState.sunOn) {
    glDisable(GL_LIGHT0);
  } else {
    glEnable(GL_LIGHT0);
  }
  sceneState.sunOn = !sceneState.sunOn;
}

void toggleHeadlight() {
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, HEADLIGHT_AMBIENT.data());
  glLightfv(GL_LIGHT3, GL_DIFFUSE, HEADLIGHT_DIFFUSE.data());
  glLightf(GL_LIGHT3, GL_SPOT_CUTOFF, HEADLIGHT_CUTOFF);
  sceneState.headlightOn = !sceneState.headlightOn;
  if (sceneState.headlightOn) {
    glEnable(GL_LIGHT3);
  } else {
    glDisable(GL_LIGHT3);
  }
}

void toggleKartLights() {
  if (sceneState.kartLightsOff) {
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
  } else {
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHT2);
  }
  sceneState.kartLightsOff = !sceneState.kartLightsOff;
}

void toggleSunMoving() { sceneState.sunMoving = !sceneState.sunMoving; }

void toggleColorChange() { sceneState.colorChangeOn = !sceneState.colorChangeOn; }

void placeSunLight() {
  glLightfv(GL_LIGHT0, GL_DIFFUSE, sunDiffuse(sceneState).data());
  glLightfv(GL_LIGHT0, GL_POSITION, sunPosition(sceneState).data());
}

void placeHeadlight() {
  glLightfv(GL_LIGHT3, GL_POSITION, HEADLIGHT_POSITION.data());
  glLightfv(GL_LIGHT3, GL_SPOT_DIRECTION, HEADLIGHT_DIRECTION);
}

void placeKartLights() {
  const LightVector diffuse = kartLampDiffuse(sceneState);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse.data());
  glLightfv(GL_LIGHT2, GL_DIFFUSE, diffuse.data());
  glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, KART_LAMP_DIRECTION);
  glLightfv(GL_LIGHT1, GL_POSITION, KART_LAMP_RIGHT_POSITION.data());
  glLightfv(GL_LIGHT2, GL_SPOT_DIRECTION, KART_LAMP_DIRECTION);
  glLightfv(GL_LIGHT2, GL_POSITION, KART_LAMP_LEFT_POSITION.data());
}
