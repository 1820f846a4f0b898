// Helpers for the scene's GL tests: feedback capture, solid test textures and
// reading the pixel a world point projects to.
#pragma once

#include <GL/gl.h>

#include <array>
#include <functional>
#include <vector>

namespace scenetest {

// One vertex as feedback mode returns it with GL_3D_COLOR_TEXTURE.
struct FeedbackVertex {
  float x, y, z;        // window coordinates
  float color[4];       // the lit colour
  float texcoord[4];
};
using FeedbackPolygon = std::vector<FeedbackVertex>;

// Runs `draw` in feedback mode and returns the polygons it produced.
std::vector<FeedbackPolygon> capturePolygons(const std::function<void()>& draw, size_t bufferFloats = 1 << 20);

using Rgb = std::array<unsigned char, 3>;

// A 2 x 2 texture with one colour per quadrant (s low/high, t low/high), nearest
// filtering, so a face's texture coordinates can be read off its pixels.
GLuint makeQuadrantTexture(Rgb sLowTLow, Rgb sHighTLow, Rgb sLowTHigh, Rgb sHighTHigh);

// A 1 x 1 texture of one colour.
GLuint makeSolidTexture(Rgb color);

// The back-buffer pixel that the world point (x, y, z) projects to under the
// current matrices and viewport.
Rgb pixelAt(double x, double y, double z);

// Sets projection and modelview for a camera at `eye` looking at `center`,
// 60-degree perspective on the full window.
void lookFrom(const std::array<double, 3>& eye, const std::array<double, 3>& center,
              const std::array<double, 3>& up = {0, 1, 0});

}  // namespace scenetest
