// Offscreen shots of the scene through the program's own code.
#define GL_GLEXT_PROTOTYPES 1
#include "tools/shot/shot_render.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <vector>

#include "app/animation.h"
#include "app/menu.h"
#include "app/scene_state.h"
#include "app/shell/startup.h"
#include "app/shell/window.h"
#include "scene/frame.h"

namespace {

// A colour and depth target of its own, so the shot neither depends on the
// window's size nor on what covers it on the screen.
class OffscreenTarget {
 public:
  OffscreenTarget(int width, int height) {
    glGetIntegerv(GL_VIEWPORT, savedViewport);
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &color);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  }
  ~OffscreenTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &color);
    glDeleteRenderbuffers(1, &depth);
    glViewport(savedViewport[0], savedViewport[1], savedViewport[2], savedViewport[3]);
  }
  OffscreenTarget(const OffscreenTarget&) = delete;
  OffscreenTarget& operator=(const OffscreenTarget&) = delete;

  bool isComplete() const { return complete; }

  RgbImage read(int width, int height) const {
    RgbImage image(width, height);
    std::vector<unsigned char> rows(image.rgb.size());
    glFinish();
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    // GL's row 0 is the bottom one; the picture's is the top one.
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
      std::copy_n(&rows[(static_cast<size_t>(height) - 1 - y) * rowBytes], rowBytes, image.at(0, y));
    return image;
  }

 private:
  GLuint framebuffer = 0, color = 0, depth = 0;
  GLint savedViewport[4] = {0, 0, 0, 0};
  bool complete = false;
};

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
