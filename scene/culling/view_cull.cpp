// Reading the view from GL, and the objects' box test.
#include "scene/culling/view_cull.h"

#include <GL/gl.h>

#include "scene/culling/culling_math.h"

ViewCull currentViewCull() {
  ViewCull view;
  double projection[16], modelview[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  multiply4x4(projection, modelview, view.matrix);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (int i = 0; i < 4; ++i) view.viewport[i] = viewport[i];
  view.firstX = viewport[0];
  view.lastX = viewport[0] + viewport[2] - 1;
  view.firstY = viewport[1];
  view.lastY = viewport[1] + viewport[3] - 1;
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  view.pixelTest = mode == GL_RENDER;
  return view;
}

bool boxCanShow(const float min[3], const float max[3]) {
  const ViewCull view = currentViewCull();
  ViewFootprint box = footprint(view, view.toClip(min[0], min[1], min[2]));
  for (int c = 1; c < 8; ++c) {
    box = joined(box, footprint(view, view.toClip(c & 1 ? max[0] : min[0], c & 2 ? max[1] : min[1],
                                                  c & 4 ? max[2] : min[2])));
  }
  return canShow(box);
}
