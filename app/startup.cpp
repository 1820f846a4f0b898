// Start-up: the window, the callbacks and the one-time initialisation, in order.
#include "app/startup.h"

#include <GL/glut.h>

#include "app/animation.h"
#include "app/camera.h"
#include "app/lighting.h"
#include "app/menu.h"
#include "app/picking.h"
#include "app/window.h"
#include "image/scene_textures.h"
#include "scene/frame.h"

void createMainWindow(int* argc, char** argv) {
  glutInit(argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowPosition(300, 20);
  glutInitWindowSize(WINDOW_WIDTH, WINDOW_HEIGHT);
  glutCreateWindow("Velmora");
}

void registerCallbacks() {
  glutDisplayFunc(display);
  glutIdleFunc(idle);
  glutReshapeFunc(reshape);
  glutSpecialFunc(specialKey);
  glutPassiveMotionFunc(passiveMotion);
  glutMouseFunc(mouseButton);
}

void initScene() {
  initGL();
  loadSceneTextures();
  buildMenus();
  initKartLights();
  resetCamera();
  // The sun is off at load; this first toggle switches it on.
  toggleSun();
}
