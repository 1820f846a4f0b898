// Helpers for the scene's GL tests.
#include "tests/scene/scene_test_support.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "app/camera.h"
#include "tests/support/gl_context.h"

namespace scenetest {

std::vector<FeedbackPolygon> capturePolygons(const std::function<void()>& draw, size_t bufferFloats) {
  std::vector<GLfloat> buffer(bufferFloats);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint used = glRenderMode(GL_RENDER);
  std::vector<FeedbackPolygon> polygons;
  auto readVertex = [&](GLint& pos) {
    FeedbackVertex v;
    v.x = buffer[pos];
    v.y = buffer[pos + 1];
    v.z = buffer[pos + 2];
    for (int i = 0; i < 4; ++i) v.color[i] = buffer[pos + 3 + i];
    for (int i = 0; i < 4; ++i) v.texcoord[i] = buffer[pos + 7 + i];
    pos += 11;
    return v;
  };
  GLint pos = 0;
  while (pos < used) {
    const GLint token = static_cast<GLint>(buffer[pos++]);
    if (token == GL_POLYGON_TOKEN) {
      const int count = static_cast<int>(buffer[pos++]);
      FeedbackPolygon polygon;
      for (int i = 0; i < count; ++i) polygon.push_back(readVertex(pos));
      polygons.push_back(polygon);
    } else if (token == GL_PASS_THROUGH_TOKEN) {
      pos += 1;
    } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      readVertex(pos);
      readVertex(pos);
    } else {  // points, bitmaps, pixel operations: one vertex each
      readVertex(pos);
    }
  }
  return polygons;
}

namespace {
GLuint makeTexture(int width, int height, const std::vector<unsigned char>& rgb) {
  GLuint texture;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  return texture;
}
}  // namespace

GLuint makeQuadrantTexture(Rgb sLowTLow, Rgb sHighTLow, Rgb sLowTHigh, Rgb sHighTHigh) {
  // Row 0 is t low; within a row, column 0 is s low.
  std::vector<unsigned char> rgb;
  for (const Rgb& c : {sLowTLow, sHighTLow, sLowTHigh, sHighTHigh}) rgb.insert(rgb.end(), c.begin(), c.end());
  return makeTexture(2, 2, rgb);
}

GLuint makeSolidTexture(Rgb color) { return makeTexture(1, 1, {color[0], color[1], color[2]}); }

Rgb pixelAt(double x, double y, double z) {
  GLdouble modelview[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble wx, wy, wz;
  gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz);
  const std::vector<unsigned char> pixel =
      supporttest::readBackBuffer(static_cast<int>(std::floor(wx)), static_cast<int>(std::floor(wy)), 1, 1);
  return {pixel[0], pixel[1], pixel[2]};
}

void lookFrom(const std::array<double, 3>& eye, const std::array<double, 3>& center,
              const std::array<double, 3>& up) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60, static_cast<double>(viewport[2]) / viewport[3], 0.1, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  LookAt view;
  std::copy(eye.begin(), eye.end(), view.eye);
  std::copy(center.begin(), center.end(), view.center);
  std::copy(up.begin(), up.end(), view.up);
  lookAt(view);
}

}  // namespace scenetest
