// The right-button pop-up menu's entries and the commands they run.
#include "app/menu.h"

#include "app/camera.h"
#include "app/lighting.h"
#include "app/scene_state.h"

bool runMenuCommand(int id) {
  switch (id) {
    case CMD_TOGGLE_SUN: toggleSun(); return true;
    case CMD_TOGGLE_HEADLIGHT: toggleHeadlight(); return true;
    case CMD_TOGGLE_KART_LIGHTS: toggleKartLights(); return true;
    case CMD_TOGGLE_SUN_MOVING: toggleSunMoving(); return true;
    case CMD_TOGGLE_COLOR_CHANGE: toggleColorChange(); return true;
    // Car view is a setting, not a toggle; "Back to start" leaves it as it is.
    case CMD_FREE_MOVEMENT: sceneState.carView = false; return true;
    case CMD_CAR_VIEW: sceneState.carView = true; return true;
    case CMD_BENCH_VIEW: setBenchPose(sceneState); return true;
    case CMD_BACK_TO_START: resetCamera(); return true;
    case CMD_GYRATION: toggleGyration(); return true;
    case CMD_CURVE_ANIMATION: toggleCurveAnimation(); return true;
    default: return false;
  }
}

void toggleGyration() { sceneState.gyrationOn = !sceneState.gyrationOn; }

void toggleCurveAnimation() { sceneState.curveAnimationOn = !sceneState.curveAnimationOn; }
