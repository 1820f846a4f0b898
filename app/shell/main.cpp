// Velmora: a go-kart ground in fixed-function OpenGL. main only starts things;
// everything afterwards happens in the GLUT callbacks of the shell.
#include <GL/glut.h>

#include "app/shell/screen_rate.h"
#include "app/shell/shell.h"
#include "app/shell/start_checks.h"
#include "app/shell/startup.h"

int main(int argc, char** argv) {
  const int answered = checkBeforeWindow(argc, argv);
  if (answered >= 0) return answered;
  createMainWindow(&argc, argv);
  registerCallbacks();
  keepToScreenRate();
  initScene([] { buildMenus(); });
  glutMainLoop();
  return 0;
}
