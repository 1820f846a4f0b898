// The application shell: the window, the callbacks, the menus, the buffer swap
// and the redisplay requests.
#include "app/shell/shell.h"

#include <GL/glut.h>

#include "app/animation.h"
#include "app/camera.h"
#include "app/menu.h"
#include "app/scene_state.h"
#include "app/shell/picking.h"
#include "app/shell/screen_rate.h"
#include "app/shell/window.h"
#include "scene/frame.h"

static_assert(ARROW_KEY_LEFT == GLUT_KEY_LEFT && ARROW_KEY_UP == GLUT_KEY_UP && ARROW_KEY_RIGHT == GLUT_KEY_RIGHT &&
                  ARROW_KEY_DOWN == GLUT_KEY_DOWN,
              "the camera takes GLUT's key codes as they come");

namespace {

template <int N>
int createMenu(const MenuEntry (&entries)[N]) {
  const int menu = glutCreateMenu(menuCommand);
  for (const MenuEntry& entry : entries) glutAddMenuEntry(entry.label, entry.id);
  return menu;
}

}  // namespace

void createMainWindow(int* argc, char** argv) {
  // The place and size come first: glutInit then lets GLUT's -geometry option
  // override them, as it could not if they were set after it.
  glutInitWindowPosition(300, 20);
  glutInitWindowSize(WINDOW_WIDTH, WINDOW_HEIGHT);
  glutInit(argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
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

int buildMenus() {
  const int camera = createMenu(CAMERA_MENU);
  const int lights = createMenu(LIGHTS_MENU);
  const int animations = createMenu(ANIMATIONS_MENU);
  const int top = glutCreateMenu(menuCommand);
  glutAddSubMenu("Camera", camera);
  glutAddSubMenu("Lights", lights);
  glutAddSubMenu("Animations", animations);
  glutAttachMenu(GLUT_RIGHT_BUTTON);
  return top;
}

void display() {
  drawFrame();
  glutSwapBuffers();
}

void idle() {
  // The program keeps to the screen's rate (main); the tools and tests that
  // call idle are not held back.
  waitForIdleTick();
  stepAnimation(sceneState);
  glutPostRedisplay();
}

void specialKey(int key, int /*x*/, int /*y*/) {
  if (walkCamera(sceneState, key)) glutPostRedisplay();
}

void passiveMotion(int x, int y) {
  turnCamera(sceneState, x, y);
  glutPostRedisplay();
}

void mouseButton(int button, int state, int x, int y) {
  if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN) return;
  clickAt(x, y, glutGet(GLUT_WINDOW_HEIGHT));
}

void menuCommand(int value) {
  if (runMenuCommand(value)) glutPostRedisplay();
}
