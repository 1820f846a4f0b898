// The program window: its fixed OpenGL state and the projection set on reshape.
#include "app/shell/window.h"

#include <GL/glu.h>

void initGL() {
  // Set, not assumed from a fresh context: the frame is drawn the same
  // whatever state the context was left in.
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT, GL_FILL);
  glPolygonMode(GL_BACK, GL_FILL);
  glCullFace(GL_BACK);
  glShadeModel(GL_SMOOTH);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glEnable(GL_LIGHTING);
}

void reshape(int width, int height) {
  // No aspect exists for a zero height; the frame keeps its last projection.
  if (height <= 0) return;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(FIELD_OF_VIEW, static_cast<double>(width) / height, NEAR_PLANE, FAR_PLANE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
