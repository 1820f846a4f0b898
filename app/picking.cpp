// Object picking in OpenGL selection mode.
#include "app/picking.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include <cstring>

#include "app/menu.h"
#include "scene/frame.h"

namespace {
GLuint selectBuffer[SELECT_BUFFER_SIZE];
int lastHits = 0;
}  // namespace

bool pickToggles(const GLuint* records, int hitCount) {
  if (hitCount < 0) return false;
  bool signboard = false;
  bool curveKart = false;
  // Each record: name count, depth min, depth max, then the names.
  int pos = 0;
  for (int hit = 0; hit < hitCount && pos < SELECT_BUFFER_SIZE; ++hit) {
    const GLuint nameCount = records[pos];
    for (GLuint n = 0; n < nameCount && pos + 3 + static_cast<int>(n) < SELECT_BUFFER_SIZE; ++n) {
      const GLuint name = records[pos + 3 + n];
      if (name == PICK_NAME_SIGNBOARD) signboard = true;
      if (name == PICK_NAME_CURVE_KART) curveKart = true;
    }
    pos += 3 + static_cast<int>(nameCount);
  }
  return signboard != curveKart;
}

bool pickAt(int x, int y) {
  std::memset(selectBuffer, 0, sizeof selectBuffer);
  glSelectBuffer(SELECT_BUFFER_SIZE, selectBuffer);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);

  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(PICK_NAME_SIGNBOARD);

  // The pick region sits on the pixel's centre, in front of the very projection
  // the frame was drawn with, so a click tests what is drawn under the cursor
  // whatever the window's size.
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPickMatrix(x + 0.5, y + 0.5, 1.0, 1.0, viewport);
  glMultMatrixd(projection);
  glMatrixMode(GL_MODELVIEW);

  drawFrame();

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  lastHits = glRenderMode(GL_RENDER);
  glMatrixMode(GL_MODELVIEW);
  return pickToggles(selectBuffer, lastHits);
}

int lastPickHitCount() { return lastHits; }

const GLuint* lastPickRecords() { return selectBuffer; }

void mouseButton(int button, int state, int x, int y) {
  if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN) return;
  // GLUT counts rows from the top; the pixel's row from the bottom is height - 1 - y.
  const int height = glutGet(GLUT_WINDOW_HEIGHT);
  if (pickAt(x, height - 1 - y)) toggleCurveAnimation();
}
