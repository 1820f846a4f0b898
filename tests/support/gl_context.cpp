// A real OpenGL context for tests: one freeglut window, pixel read-back from the back buffer.
#include "tests/support/gl_context.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

namespace supporttest {

namespace {
void drawNothing() {}
}  // namespace

void createWindow(int argc, char** argv, int width, int height) {
  glutInit(&argc, argv);
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowPosition(0, 0);
  glutInitWindowSize(width, height);
  glutCreateWindow("Velmora test");
  // freeglut refuses to run its event loop for a window without a display callback.
  glutDisplayFunc(drawNothing);
  pumpEvents();
}

void pumpEvents(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    glutMainLoopEvent();
  }
  glFinish();
}

void resizeWindow(int width, int height) {
  glutReshapeWindow(width, height);
  for (int i = 0; i < 200; ++i) {
    glutMainLoopEvent();
    if (glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height) break;
  }
  pumpEvents();
}

std::vector<unsigned char> readBackBuffer(int x, int y, int width, int height) {
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
  glFinish();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

Transform currentTransform() {
  Transform t;
  glGetDoublev(GL_MODELVIEW_MATRIX, t.modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, t.projection);
  glGetIntegerv(GL_VIEWPORT, t.viewport);
  return t;
}

std::array<double, 3> projectToWindow(double x, double y, double z) {
  const Transform t = currentTransform();
  std::array<double, 3> window{};
  gluProject(x, y, z, t.modelview, t.projection, t.viewport, &window[0], &window[1], &window[2]);
  return window;
}

}  // namespace supporttest
