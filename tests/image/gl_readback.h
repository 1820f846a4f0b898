// Texture state read back from the current GL context, for the upload tests.
#pragma once

#include <GL/gl.h>

#include <vector>

namespace imagetest {

inline GLint texParameter(GLuint texture, GLenum name) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = -1;
  glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
  return value;
}

inline GLint levelWidth(GLuint texture, GLint level) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &value);
  return value;
}

inline GLint levelHeight(GLuint texture, GLint level) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &value);
  return value;
}

inline GLint unpackAlignment() {
  GLint value = -1;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
  return value;
}

// Level 0 texels, tightly packed, in `format` (GL_RGB or GL_RGBA).
inline std::vector<unsigned char> levelZeroTexels(GLuint texture, GLenum format) {
  glBindTexture(GL_TEXTURE_2D, texture);
  const GLint width = levelWidth(texture, 0);
  const GLint height = levelHeight(texture, 0);
  std::vector<unsigned char> texels(static_cast<size_t>(width) * height * (format == GL_RGBA ? 4 : 3));
  GLint packAlignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
  return texels;
}

}  // namespace imagetest
