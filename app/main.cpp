// Velmora: a go-kart ground in fixed-function OpenGL. main only starts things;
// everything afterwards happens in the GLUT callbacks.
#include <GL/glut.h>

#include "app/startup.h"

int main(int argc, char** argv) {
  createMainWindow(&argc, argv);
  registerCallbacks();
  initScene();
  glutMainLoop();
  return 0;
}
