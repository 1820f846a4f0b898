// Shared fixture pieces for the shell's GL tests: the scene as start-up leaves it.
#pragma once

#include <GL/gl.h>

#include <array>

#include "app/camera.h"
#include "app/lighting.h"
#include "app/scene_state.h"
#include "app/shell/startup.h"
#include "app/shell/window.h"

namespace apptest {

// The scene back at its values at load, then started as the program starts it
// (without the menus), with the projection a new window's reshape gives it.
inline void startUp() {
  resetScene();
  initScene();
  reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
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
