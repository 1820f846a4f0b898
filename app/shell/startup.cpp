// Start-up after the window exists, and the scene put back to its start.
#include "app/shell/startup.h"

#include "app/camera.h"
#include "app/lighting.h"
#include "app/scene_state.h"
#include "app/shell/window.h"
#include "image/scene_textures.h"
#include "scene/kart.h"
#include "scene/kart_lap.h"
#include "scene/signboard.h"

namespace {
bool sceneTexturesLoaded = false;
}  // namespace

void initScene(void (*buildMenus)()) {
  initGL();
  if (!sceneTexturesLoaded) {
    loadSceneTextures();
    sceneTexturesLoaded = true;
  }
  if (buildMenus != nullptr) buildMenus();
  initKartLights();
  resetCamera();
  // The sun is off at load; this first toggle switches it on.
  toggleSun();
}

void resetScene() {
  sceneState = SceneState{};
  curveKartState() = CurveKartState{};
  setSignboardFrame(0);
  resetLights();
}
