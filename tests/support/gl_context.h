// A real OpenGL context for tests: one freeglut window, pixel read-back from the back buffer.
#pragma once

#include <GL/gl.h>

#include <array>
#include <vector>

namespace supporttest {

// Creates the test window (double-buffered RGB with depth, as the program's own)
// and makes its context current. Call once, before the tests run.
void createWindow(int argc, char** argv, int width, int height);

// Lets freeglut handle pending window-system events (map, reshape).
void pumpEvents(int rounds = 5);

// Resizes the window and waits until the window system has done it.
void resizeWindow(int width, int height);

// RGBA bytes of a rectangle of the back buffer, bottom row first. Under Xvfb the
// front buffer reads as zeros after a swap, so tests read what was drawn into GL_BACK.
std::vector<unsigned char> readBackBuffer(int x, int y, int width, int height);

// The transformation GL holds now, as gluProject and gluUnProject take it.
struct Transform {
  GLdouble modelview[16];
  GLdouble projection[16];
  GLint viewport[4];
};
Transform currentTransform();

// Window coordinates (origin bottom left) and depth of an object-space point under
// the current transformation.
std::array<double, 3> projectToWindow(double x, double y, double z);

}  // namespace supporttest
