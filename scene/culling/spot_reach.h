// Spot lights that cannot reach an object. Outside its cone a spot light's
// factor is zero, and it multiplies the light's ambient term as well as its
// diffuse and specular ones: the light adds exactly nothing there. Switching
// it off around an object its cone cannot reach leaves every vertex colour as
// it was and spares the vertex pipeline that light's work.
#pragma once

// A spot light's cone in eye space.
struct SpotCone {
  double apex[3];
  double axis[3];  // unit length
  double cutoff;   // half-angle, radians, below pi/2
};

// Angle by which a box must clear a cone before the cone counts as missing it:
// far above the float rounding of the vertex pipeline's spot test.
constexpr double SPOT_MARGIN = 1e-3;

// True when no point of the parallelepiped that `matrix` (column-major 4 x 4,
// affine) makes of the box [min, max] lies within `cone`, by SPOT_MARGIN.
// Conservative: false whenever it cannot tell.
bool coneMissesBox(const SpotCone& cone, const double matrix[16], const float min[3], const float max[3]);

// Switches off, for as long as it lives, every enabled positional spot light
// whose cone cannot reach the box [min, max] of the current modelview's
// space; switches them on again when it ends. Does nothing while lighting is
// off, in selection or feedback mode, or when switching is turned off.
class SpotLightsOutOfReach {
 public:
  SpotLightsOutOfReach(const float min[3], const float max[3]);
  ~SpotLightsOutOfReach();
  SpotLightsOutOfReach(const SpotLightsOutOfReach&) = delete;
  SpotLightsOutOfReach& operator=(const SpotLightsOutOfReach&) = delete;

 private:
  unsigned switchedOff_ = 0;  // bit i: GL_LIGHT0 + i
};

// Turns the switching on (the default) or off, so that the two can be compared.
void setSpotSwitching(bool on);
bool spotSwitching();

// How many times a light has been switched off around an object so far.
unsigned long spotLightsSwitchedOff();
