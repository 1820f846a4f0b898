// Offscreen shots of the scene through the program's own code.
#include "tools/shot/shot_render.h"

#include <GL/gl.h>

#include "app/animation.h"
#include "app/menu.h"
#include "app/scene_state.h"
#include "app/shell/startup.h"
#include "app/shell/window.h"
#include "scene/frame.h"
#include "tools/offscreen/offscreen.h"

namespace {

bool switchState(ShotSwitch which) {
  switch (which) {
    case ShotSwitch::SUN: return sceneState.sunOn;
    case ShotSwitch::SUN_MOVING: return sceneState.sunMoving;
    case ShotSwitch::COLOR_CHANGE: return sceneState.colorChangeOn;
    case ShotSwitch::HEADLIGHT: return sceneState.headlightOn;
    case ShotSwitch::KART_LIGHTS: return !sceneState.kartLightsOff;
    case ShotSwitch::GYRATION: return sceneState.gyrationOn;
    case ShotSwitch::DRIVE: return sceneState.curveAnimationOn;
  }
  return false;
}

int switchCommand(ShotSwitch which) {
  switch (which) {
    case ShotSwitch::SUN: return CMD_TOGGLE_SUN;
    case ShotSwitch::SUN_MOVING: return CMD_TOGGLE_SUN_MOVING;
    case ShotSwitch::COLOR_CHANGE: return CMD_TOGGLE_COLOR_CHANGE;
    case ShotSwitch::HEADLIGHT: return CMD_TOGGLE_HEADLIGHT;
    case ShotSwitch::KART_LIGHTS: return CMD_TOGGLE_KART_LIGHTS;
    case ShotSwitch::GYRATION: return CMD_GYRATION;
    case ShotSwitch::DRIVE: return CMD_CURVE_ANIMATION;
  }
  return 0;
}

void apply(const ShotAction& action) {
  switch (action.kind) {
    case ShotAction::Kind::SWITCH:
      // The menu's entries are toggles: choose one only when it changes something.
      if (switchState(action.which) != action.on) runMenuCommand(switchCommand(action.which));
      break;
    case ShotAction::Kind::COMMAND:
      runMenuCommand(action.command);
      break;
    case ShotAction::Kind::POSE:
      // Where walking and turning would have taken the free camera.
      sceneState.carView = false;
      sceneState.cameraPos = {action.x, 0, action.z};
      sceneState.cameraYaw = action.yaw;
      sceneState.cameraPitch = action.pitch;
      break;
  }
}

}  // namespace

RgbImage renderShot(const ShotOptions& options, std::string* error) {
  OffscreenTarget target(options.width, options.height);
  if (!target.isComplete()) {
    if (error) *error = "cannot make an offscreen framebuffer of the requested size";
    return RgbImage();
  }
  // The scene as the program's start-up leaves it, whatever a previous shot
  // left behind; the menus are left out, as they need the main loop to mean anything.
  resetScene();
  initScene();
  reshape(options.width, options.height);

  if (options.curveParam) sceneState.curveParam = *options.curveParam;
  if (options.spinAngle) sceneState.spinAngle = *options.spinAngle;
  if (options.sunAngle) sceneState.sunAngle = *options.sunAngle;
  for (const ShotAction& action : options.actions) apply(action);

  // The main loop's rhythm: the first frame, then an idle step before each further frame.
  for (int i = 0; i < options.steps; ++i) stepAnimation(sceneState);
  drawFrame();
  for (int i = 1; i < options.frames; ++i) {
    stepAnimation(sceneState);
    drawFrame();
  }
  return reduceBox(target.read(options.width, options.height), options.scale);
}
