// The ground's vertex lighting worked out on the CPU: the fixed-function
// lighting equation with the lights, material and matrices in force when the
// ground is drawn. The ground uses it to find where coarse geometry lights
// the same as the fine grid. It knows the terms it models and says when the
// GL state holds one it does not.
#pragma once

#include <array>

#include "scene/culling/culling_math.h"

using Rgb = std::array<double, 3>;

// One enabled light as OpenGL holds it: position and spot direction in eye
// coordinates, its colours already multiplied by the material's.
struct GroundLight {
  std::array<double, 4> position{};  // w = 0: a direction towards the light
  Vec3 direction{};                  // a directional light's, unit length
  Vec3 point{};                      // a positional light's, in eye space
  Vec3 spotDirection{0, 0, -1};      // unit length
  bool spot = false;                 // a cut-off other than 180 degrees
  double cosCutoff = -1;             // spot: lit where the angle to the axis is within the cut-off
  double cutoffDegrees = 180;
  double spotExponent = 0;  // spot: the cosine to the axis raised to this
  Rgb ambient{};            // light ambient x material ambient
  Rgb diffuse{};            // light diffuse x material diffuse
  Rgb specular{};           // light specular x material specular
  bool hasSpecular = false;
  std::array<double, 3> attenuation{1, 0, 0};  // constant, linear, quadratic
};

struct GroundLighting {
  static constexpr int MAX_LIGHTS = 8;
  // False when the GL state holds a term the model leaves out (two-sided
  // lighting, colour material, a separate specular colour, flat shading,
  // normals rescaled without GL_NORMALIZE): the ground is then drawn from its
  // exact cells. Whether lighting is on at all is not read: an unlit ground
  // has one colour, which any plan made for its lights draws right.
  bool modelled = true;
  Rgb base{};  // emission + global ambient x material ambient
  double shininess = 0;
  double specularFloor = 0;  // n.h below which the highlight is negligible
  bool localViewer = true;   // the eye at the eye-space origin; otherwise along +z at infinity
  GroundLight lights[MAX_LIGHTS];
  int lightCount = 0;
  // Object space to eye space (column-major, as OpenGL's modelview) and the
  // ground's normal (0, 1, 0) in eye space, unit length.
  double modelview[16] = {};
  Vec3 normal{0, 1, 0};

  // The eye-space position of the ground point (x, 0, z).
  Vec3 eyePoint(double x, double z) const {
    return {modelview[0] * x + modelview[8] * z + modelview[12], modelview[1] * x + modelview[9] * z + modelview[13],
            modelview[2] * x + modelview[10] * z + modelview[14]};
  }

  // The colour OpenGL gives a ground vertex at (x, 0, z), clamped to [0, 1]
  // as the pipeline clamps it before interpolation.
  Rgb shade(double x, double z) const;
};

// Reads the enabled lights, the light model, the front material, the shading
// state and the current modelview from OpenGL, as they stand when the
// ground's vertices are sent.
GroundLighting readGroundLighting();
