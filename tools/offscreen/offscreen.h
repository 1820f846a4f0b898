// Offscreen drawing for the tools that make pictures: a GL context from a
// small GLUT window, and a colour and depth target of its own that neither
// depends on the window's size nor on what covers it on the screen.
#pragma once

#include <GL/gl.h>

#include "tools/shot/rgb_image.h"

// glutInit with the program's name only (the options are the tool's own), then
// a 64 x 64 double-buffered RGB window with depth called `title`, whose context
// is current afterwards. Needs an X display (see cli/display.h).
void openOffscreenContext(char* program, const char* title);

// A framebuffer with RGBA8 colour and 24-bit depth, bound while the object lives.
class OffscreenTarget {
 public:
  OffscreenTarget(int width, int height);
  ~OffscreenTarget();
  OffscreenTarget(const OffscreenTarget&) = delete;
  OffscreenTarget& operator=(const OffscreenTarget&) = delete;

  // False when the driver cannot make a framebuffer of that size.
  bool isComplete() const { return complete_; }

  // The colour buffer, top row first.
  RgbImage read(int width, int height) const;

 private:
  GLuint framebuffer_ = 0, color_ = 0, depth_ = 0;
  GLint savedViewport_[4] = {0, 0, 0, 0};
  bool complete_ = false;
};
