// Shared fixture pieces for the shell's GL tests: the scene as start-up leaves it.
#pragma once

#include <GL/gl.h>

#include <array>

#include "app/camera.h"
#include "app/lighting.h"
#include "app/scene_state.h"
#include "app/window.h"

namespace apptest {

// Scene state at load, the four lights back at their defaults, then the start-up
// steps that touch them: fixed GL state, kart lamps, start pose, sun on.
inline void startUp() {
  sceneState = SceneState{};
  const GLfloat black[4] = {0, 0, 0, 1};
  const GLfloat white[4] = {1, 1, 1, 1};
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) {
    glDisable(light);
    glLightfv(light, GL_DIFFUSE, light == GL_LIGHT0 ? white : black);
    glLightf(light, GL_SPOT_CUTOFF, 180);
  }
  const GLfloat defaultAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, defaultAmbient);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  initGL();
  reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
  initKartLights();
  resetCamera();
  toggleSun();
}

inline std::array<float, 4> light(GLenum light, GLenum parameter) {
  std::array<float, 4> v{};
  glGetLightfv(light, parameter, v.data());
  return v;
}

inline std::array<float, 4> globalAmbient() {
  std::array<float, 4> v{};
  glGetFloatv(GL_LIGHT_MODEL_AMBIENT, v.data());
  return v;
}

}  // namespace apptest
