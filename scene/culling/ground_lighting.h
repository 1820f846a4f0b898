// The ground's vertex lighting worked out on the CPU: the fixed-function
// lighting equation with the lights, material and matrices in force when the
// ground is drawn. The ground uses it to find where coarse geometry lights
// the same as the fine grid.
#pragma once

#include <array>

using Rgb = std::array<double, 3>;

// One enabled light as OpenGL holds it: position and spot direction in eye
// coordinates, its colours already multiplied by the material's.
struct GroundLight {
  std::array<double, 4> position{};  // w = 0: a direction towards the light
  std::array<double, 3> direction{};  // a directional light's, unit length
  std::array<double, 3> point{};      // a positional light's, in eye space
  std::array<double, 3> spotDirection{0, 0, -1};  // unit length
  bool spot = false;
  double cosCutoff = -1;  // spot: lit where the angle to the axis is within the cut-off
  double cutoffDegrees = 180;
  Rgb ambient{};    // light ambient x material ambient
  Rgb diffuse{};    // light diffuse x material diffuse
  Rgb specular{};   // light specular x material specular
  bool hasSpecular = false;
  std::array<double, 3> attenuation{1, 0, 0};  // constant, linear, quadratic
};

struct GroundLighting {
  static constexpr int MAX_LIGHTS = 8;
  Rgb base{};  // emission + global ambient x material ambient
  double shininess = 0;
  double specularFloor = 0;  // n.h below which the highlight is negligible
  GroundLight lights[MAX_LIGHTS];
  int lightCount = 0;
  // Object space to eye space (column-major, as OpenGL's modelview) and the
  // ground's normal (0, 1, 0) in eye space, unit length.
  double modelview[16] = {};
  std::array<double, 3> normal{0, 1, 0};

  // The eye-space position of the ground point (x, 0, z).
  std::array<double, 3> eyePoint(double x, double z) const {
    return {modelview[0] * x + modelview[8] * z + modelview[12], modelview[1] * x + modelview[9] * z + modelview[13],
            modelview[2] * x + modelview[10] * z + modelview[14]};
  }

  // The colour OpenGL gives a ground vertex at (x, 0, z), clamped to [0, 1]
  // as the pipeline clamps it before interpolation (local viewer).
  Rgb shade(double x, double z) const;
};

// Reads the enabled lights, the light model's ambient colour, the front
// material and the current modelview from OpenGL, as they stand when the
// ground's vertices are sent.
GroundLighting readGroundLighting();
