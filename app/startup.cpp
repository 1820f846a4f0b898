// Start-up after the window exists: the one-time initialisation, in order.
#include "app/startup.h"

#include "app/camera.h"
#include "app/lighting.h"
#include "app/window.h"
#include "image/scene_textures.h"

void initScene(void (*buildMenus)()) {
  initGL();
  loadSceneTextures();
  if (buildMenus != nullptr) buildMenus();
  initKartLights();
  resetCamera();
  // The sun is off at load; this first toggle switches it on.
  toggleSun();
}
