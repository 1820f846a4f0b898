// Object picking in OpenGL selection mode.
#include "app/shell/picking.h"

#include <GL/glu.h>

#include <cstring>

#include "app/menu.h"
#include "scene/frame.h"
#include "scene/pick_names.h"

std::vector<HitRecord> readHitRecords(const GLuint* buffer, int hitCount, int size) {
  std::vector<HitRecord> records;
  int pos = 0;
  for (int hit = 0; hit < hitCount && pos + 3 <= size; ++hit) {
    HitRecord record;
    const GLuint nameCount = buffer[pos];
    record.depthMin = buffer[pos + 1];
    record.depthMax = buffer[pos + 2];
    for (GLuint n = 0; n < nameCount && pos + 3 + static_cast<int>(n) < size; ++n) {
      record.names.push_back(buffer[pos + 3 + n]);
    }
    records.push_back(record);
    pos += 3 + static_cast<int>(nameCount);
  }
  return records;
}

bool pickToggles(const GLuint* records, int hitCount) {
  if (hitCount < 0) return false;
  bool signboard = false;
  bool curveKart = false;
  for (const HitRecord& record : readHitRecords(records, hitCount)) {
    for (GLuint name : record.names) {
      if (name == PICK_NAME_SIGNBOARD) signboard = true;
      if (name == PICK_NAME_CURVE_KART) curveKart = true;
    }
  }
  return signboard != curveKart;
}

PickHits selectAt(int x, int y) {
  GLuint selectBuffer[SELECT_BUFFER_SIZE];
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
  const int hits = glRenderMode(GL_RENDER);
  glMatrixMode(GL_MODELVIEW);
  return PickHits{hits, readHitRecords(selectBuffer, hits), pickToggles(selectBuffer, hits)};
}

bool pickAt(int x, int y) { return selectAt(x, y).toggles; }

PickHits clickAt(int x, int y, int windowHeight) {
  // Window rows count from the top; the pixel's row from the bottom is height - 1 - y.
  PickHits hits = selectAt(x, windowHeight - 1 - y);
  if (hits.toggles) toggleCurveAnimation();
  return hits;
}
