// Conservative clip-space tests for leaving out geometry that cannot show.
#include "scene/culling/view_cull.h"

#include <GL/gl.h>

#include <cmath>

ViewCull currentViewCull() {
  ViewCull view;
  double projection[16], modelview[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * modelview[c * 4 + k];
      view.matrix[c * 4 + r] = sum;
    }
  }
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (int i = 0; i < 4; ++i) view.viewport[i] = viewport[i];
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  view.pixelTest = mode == GL_RENDER;
  return view;
}

bool outsideViewVolume(const ClipPoint* points, int count) {
  // Six planes: -w <= x, y, z <= w. A half-space in homogeneous coordinates is
  // convex whatever the signs of w, so all points outside one plane suffice.
  bool outside[6] = {true, true, true, true, true, true};
  for (int i = 0; i < count; ++i) {
    const ClipPoint& p = points[i];
    if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z) || std::isnan(p.w)) return false;
    const double coords[3] = {p.x, p.y, p.z};
    for (int a = 0; a < 3; ++a) {
      const double margin = CLIP_MARGIN * (std::fabs(coords[a]) + std::fabs(p.w));
      if (coords[a] <= p.w + margin) outside[2 * a] = false;
      if (coords[a] >= -p.w - margin) outside[2 * a + 1] = false;
    }
  }
  for (bool o : outside) {
    if (o) return true;
  }
  return false;
}

bool coversNoPixelCentre(const ViewCull& view, const ClipPoint* points, int count) {
  if (!view.pixelTest || count == 0) return false;
  const double halfWidth = view.viewport[2] / 2, halfHeight = view.viewport[3] / 2;
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  for (int i = 0; i < count; ++i) {
    const ClipPoint& p = points[i];
    if (!(p.w >= NEAR_KEEP_W)) return false;
    const double x = view.viewport[0] + (p.x / p.w + 1) * halfWidth;
    const double y = view.viewport[1] + (p.y / p.w + 1) * halfHeight;
    minX = std::fmin(minX, x);
    maxX = std::fmax(maxX, x);
    minY = std::fmin(minY, y);
    maxY = std::fmax(maxY, y);
  }
  if (minX < -FAR_OUT_PIXELS || maxX > FAR_OUT_PIXELS || minY < -FAR_OUT_PIXELS || maxY > FAR_OUT_PIXELS) return false;
  // Pixel centres sit at integer + 0.5; is there one inside the widened box and the viewport?
  const double firstX = std::fmax(std::ceil(minX - PIXEL_MARGIN - 0.5), view.viewport[0]);
  const double lastX = std::fmin(std::floor(maxX + PIXEL_MARGIN - 0.5), view.viewport[0] + view.viewport[2] - 1);
  if (firstX > lastX) return true;
  const double firstY = std::fmax(std::ceil(minY - PIXEL_MARGIN - 0.5), view.viewport[1]);
  const double lastY = std::fmin(std::floor(maxY + PIXEL_MARGIN - 0.5), view.viewport[1] + view.viewport[3] - 1);
  return firstY > lastY;
}

bool boxCanShow(const float min[3], const float max[3]) {
  const ViewCull view = currentViewCull();
  ClipPoint corners[8];
  for (int c = 0; c < 8; ++c) {
    corners[c] = view.toClip(c & 1 ? max[0] : min[0], c & 2 ? max[1] : min[1], c & 4 ? max[2] : min[2]);
  }
  return !outsideViewVolume(corners, 8) && !coversNoPixelCentre(view, corners, 8);
}
