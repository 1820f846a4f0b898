// The GLU calls Velmora makes, computed the way the GLU library computes them
// (gluLookAt in float, gluPerspective in double) so that the matrices the
// program reads back match the desktop's.
#include <GL/glu.h>

#include <cmath>

#include "web/gl/gl_layer.h"

extern "C" {

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  const double radians = fovy / 2 * M_PI / 180;
  const double deltaZ = zFar - zNear;
  const double sine = std::sin(radians);
  if (deltaZ == 0 || sine == 0 || aspect == 0) return;
  const double cotangent = std::cos(radians) / sine;
  GLdouble m[16] = {cotangent / aspect,         0, 0, 0, 0, cotangent, 0, 0, 0, 0, -(zFar + zNear) / deltaZ, -1, 0, 0,
                    -2 * zNear * zFar / deltaZ, 0};
  glMultMatrixd(m);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ) {
  const auto normalize = [](float v[3]) {
    const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0) return;
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
  };
  const auto cross = [](const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
  };
  float forward[3] = {static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
                      static_cast<float>(centerZ - eyeZ)};
  float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
  normalize(forward);
  float side[3];
  cross(forward, up, side);
  normalize(side);
  cross(side, forward, up);
  const GLfloat m[16] = {side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0,
                         side[2], up[2], -forward[2], 0, 0,       0,     0,           1};
  glMultMatrixf(m);
  glTranslated(-eyeX, -eyeY, -eyeZ);
}

void gluPickMatrix(GLdouble x, GLdouble y, GLdouble width, GLdouble height, GLint viewport[4]) {
  if (width <= 0 || height <= 0) return;
  glTranslatef(static_cast<GLfloat>((viewport[2] - 2 * (x - viewport[0])) / width),
               static_cast<GLfloat>((viewport[3] - 2 * (y - viewport[1])) / height), 0);
  glScalef(static_cast<GLfloat>(viewport[2] / width), static_cast<GLfloat>(viewport[3] / height), 1.0f);
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data) {
  if (target != GL_TEXTURE_2D) {
    webgl::refuse("gluBuild2DMipmaps of a target other than GL_TEXTURE_2D");
    return GL_INVALID_ENUM;
  }
  // WebGL 2 builds the chain from level 0 at any size; the GLU first rescales
  // sides that are not powers of two, which only changes the far levels' filtering.
  webgl::uploadTexture(internalFormat, width, height, format, type, data, true, "gluBuild2DMipmaps");
  return 0;
}

}  // extern "C"
