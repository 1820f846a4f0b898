// Offscreen drawing: the GLUT context and the framebuffer object.
#define GL_GLEXT_PROTOTYPES 1
#include "tools/offscreen/offscreen.h"

#include <GL/glext.h>
#include <GL/glut.h>

#include <algorithm>
#include <vector>

void openOffscreenContext(char* program, const char* title) {
  int glutArgc = 1;
  char* glutArgv[] = {program, nullptr};
  glutInit(&glutArgc, glutArgv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(64, 64);
  glutCreateWindow(title);
}

OffscreenTarget::OffscreenTarget(int width, int height) {
  glGetIntegerv(GL_VIEWPORT, savedViewport_);
  glGenFramebuffers(1, &framebuffer_);
  glGenRenderbuffers(1, &color_);
  glGenRenderbuffers(1, &depth_);
  glBindRenderbuffer(GL_RENDERBUFFER, color_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  complete_ = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

OffscreenTarget::~OffscreenTarget() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer_);
  glDeleteRenderbuffers(1, &color_);
  glDeleteRenderbuffers(1, &depth_);
  glViewport(savedViewport_[0], savedViewport_[1], savedViewport_[2], savedViewport_[3]);
}

RgbImage OffscreenTarget::read(int width, int height) const {
  RgbImage image(width, height);
  std::vector<unsigned char> rows(image.rgb.size());
  glFinish();
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
  // GL's row 0 is the bottom one; the picture's is the top one.
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y)
    std::copy_n(&rows[(static_cast<size_t>(height) - 1 - y) * rowBytes], rowBytes, image.at(0, y));
  return image;
}
