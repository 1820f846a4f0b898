// The free camera and the car-view camera.
#include "app/camera.h"

#include <GL/glu.h>

#include <cmath>

#include "app/scene_state.h"

namespace {
constexpr double EYE_HEIGHT = 0.5;
constexpr double WALK_STEP = 0.6;
constexpr int MOUSE_DEAD_BAND = 2;
constexpr double TURN_STEP_DEGREES = 3;
constexpr double PITCH_LIMIT = 75;
constexpr double YAW_LIMIT = 360;
}  // namespace

void lookAt(const LookAt& view) {
  gluLookAt(view.eye[0], view.eye[1], view.eye[2], view.center[0], view.center[1], view.center[2], view.up[0],
            view.up[1], view.up[2]);
}

LookAt freeCameraLookAt(SceneState& state) {
  const double h = state.cameraYaw * DEG_TO_RAD;
  const double p = state.cameraPitch * DEG_TO_RAD;
  const double fx = std::cos(h) * std::cos(p);
  const double fy = std::sin(p);
  const double fz = std::sin(h) * std::cos(p);
  state.cameraDir = {std::cos(h), 0, std::sin(h)};

  const double ex = state.cameraPos.x;
  const double ey = state.cameraPos.y + EYE_HEIGHT;
  const double ez = state.cameraPos.z;
  // The up vector tilts with the pitch so that it stays perpendicular to the view.
  return LookAt{{ex, ey, ez},
                {ex + fx, ey + fy, ez + fz},
                {-std::cos(h) * std::sin(p), std::cos(p), -std::sin(h) * std::sin(p)}};
}

LookAt carViewLookAt(double x, double y, double z) { return LookAt{{1.6 * x, y + 1, 1.6 * z}, {0, 0, 0}, {0, 1, 0}}; }

void resetCameraPose(SceneState& state) {
  state.cameraPos = {0, 0, 5};
  state.cameraDir = {0, 0, -1};
  state.cameraYaw = -90;
  state.cameraPitch = 0;
}

void setBenchPose(SceneState& state) {
  state.carView = false;
  state.cameraYaw = -66;
  state.cameraPitch = 0;
  state.cameraPos = {0.75, 0, 0.35};
}

bool walkCamera(SceneState& state, int key) {
  if (state.carView) return false;
  // Forward and back follow the direction of the last free frame; the side
  // steps follow the current yaw.
  const double side = (state.cameraYaw - 90) * DEG_TO_RAD;
  switch (key) {
    case ARROW_KEY_UP:
      state.cameraPos.x += WALK_STEP * state.cameraDir.x;
      state.cameraPos.y += WALK_STEP * state.cameraDir.y;
      state.cameraPos.z += WALK_STEP * state.cameraDir.z;
      return true;
    case ARROW_KEY_DOWN:
      state.cameraPos.x -= WALK_STEP * state.cameraDir.x;
      state.cameraPos.y -= WALK_STEP * state.cameraDir.y;
      state.cameraPos.z -= WALK_STEP * state.cameraDir.z;
      return true;
    case ARROW_KEY_LEFT:
      state.cameraPos.x += WALK_STEP * std::cos(side);
      state.cameraPos.z += WALK_STEP * std::sin(side);
      return true;
    case ARROW_KEY_RIGHT:
      state.cameraPos.x -= WALK_STEP * std::cos(side);
      state.cameraPos.z -= WALK_STEP * std::sin(side);
      return true;
    default:
      return false;
  }
}

void turnCamera(SceneState& state, int x, int y) {
  // Each accepted move is one fixed step, however far the mouse went.
  if (x <= state.lastMouseX - MOUSE_DEAD_BAND || x >= state.lastMouseX + MOUSE_DEAD_BAND) {
    if (x > state.lastMouseX) {
      state.cameraYaw += TURN_STEP_DEGREES;
      if (state.cameraYaw > YAW_LIMIT) state.cameraYaw -= 360;
    } else {
      state.cameraYaw -= TURN_STEP_DEGREES;
      if (state.cameraYaw < -YAW_LIMIT) state.cameraYaw += 360;
    }
    state.lastMouseX = x;
  }
  // Window y grows downwards: a smaller y is the mouse moving up, which tilts the view up.
  if (y <= state.lastMouseY - MOUSE_DEAD_BAND || y >= state.lastMouseY + MOUSE_DEAD_BAND) {
    if (y < state.lastMouseY) {
      state.cameraPitch += TURN_STEP_DEGREES;
      if (state.cameraPitch > PITCH_LIMIT) state.cameraPitch = PITCH_LIMIT;
    } else {
      state.cameraPitch -= TURN_STEP_DEGREES;
      if (state.cameraPitch < -PITCH_LIMIT) state.cameraPitch = -PITCH_LIMIT;
    }
    state.lastMouseY = y;
  }
}

void placeFreeCamera() { lookAt(freeCameraLookAt(sceneState)); }

void placeCarViewCamera(double x, double y, double z) { lookAt(carViewLookAt(x, y, z)); }

void resetCamera() { resetCameraPose(sceneState); }
