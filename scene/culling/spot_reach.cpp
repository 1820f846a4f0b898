// Spot cones against object boxes, and the lights switched off around objects.
#include "scene/culling/spot_reach.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

bool switching = true;
unsigned long switchedOffCount = 0;

// Deepest halving of the box in each direction before giving up: 8^3 boxes.
constexpr int MAX_DEPTH = 3;

void transformPoint(const double m[16], const double p[3], double out[3]) {
  for (int r = 0; r < 3; ++r) out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

// The box [lo, hi] against the cone through its bounding sphere in eye space;
// halved in all three directions where the sphere overlaps the cone.
bool missesPart(const SpotCone& cone, const double m[16], const double lo[3], const double hi[3], int depth) {
  double centre[3], eye[3];
  for (int a = 0; a < 3; ++a) centre[a] = 0.5 * (lo[a] + hi[a]);
  transformPoint(m, centre, eye);
  double radius = 0;
  for (int c = 0; c < 8; ++c) {
    const double corner[3] = {c & 1 ? hi[0] : lo[0], c & 2 ? hi[1] : lo[1], c & 4 ? hi[2] : lo[2]};
    double p[3];
    transformPoint(m, corner, p);
    radius = std::max(radius, std::hypot(p[0] - eye[0], p[1] - eye[1], p[2] - eye[2]));
  }
  const double v[3] = {eye[0] - cone.apex[0], eye[1] - cone.apex[1], eye[2] - cone.apex[2]};
  const double distance = std::hypot(v[0], v[1], v[2]);
  if (distance > radius * (1 + 1e-9) && std::isfinite(distance)) {
    const double along = (v[0] * cone.axis[0] + v[1] * cone.axis[1] + v[2] * cone.axis[2]) / distance;
    const double angle = std::acos(std::clamp(along, -1.0, 1.0));
    const double spread = std::asin(std::min(1.0, radius / distance));
    if (angle > cone.cutoff + spread + SPOT_MARGIN) return true;
    // Wholly inside the cone: no halving can help.
    if (angle + spread < cone.cutoff) return false;
  }
  if (depth == MAX_DEPTH) return false;
  for (int c = 0; c < 8; ++c) {
    double partLo[3], partHi[3];
    for (int a = 0; a < 3; ++a) {
      const bool upper = (c >> a) & 1;
      partLo[a] = upper ? centre[a] : lo[a];
      partHi[a] = upper ? hi[a] : centre[a];
    }
    if (!missesPart(cone, m, partLo, partHi, depth + 1)) return false;
  }
  return true;
}

bool renderMode() {
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_RENDER;
}

// The cone of light `light` when it is a positional spot light.
bool readSpotCone(GLenum light, SpotCone* cone) {
  GLfloat cutoff = 180, position[4], direction[3];
  glGetLightfv(light, GL_SPOT_CUTOFF, &cutoff);
  if (!(cutoff < 90)) return false;  // 180: no spot; nothing else below 90 is allowed
  glGetLightfv(light, GL_POSITION, position);
  glGetLightfv(light, GL_SPOT_DIRECTION, direction);
  if (position[3] == 0) return false;
  const double length = std::hypot(double(direction[0]), double(direction[1]), double(direction[2]));
  if (!(length > 0)) return false;
  for (int a = 0; a < 3; ++a) {
    cone->apex[a] = position[a] / position[3];
    cone->axis[a] = direction[a] / length;
  }
  cone->cutoff = cutoff * M_PI / 180;
  return true;
}

}  // namespace

bool coneMissesBox(const SpotCone& cone, const double matrix[16], const float min[3], const float max[3]) {
  const double lo[3] = {min[0], min[1], min[2]}, hi[3] = {max[0], max[1], max[2]};
  return missesPart(cone, matrix, lo, hi, 0);
}

SpotLightsOutOfReach::SpotLightsOutOfReach(const float min[3], const float max[3]) {
  if (!switching || !glIsEnabled(GL_LIGHTING) || !renderMode()) return;
  GLint lights = 8;
  glGetIntegerv(GL_MAX_LIGHTS, &lights);
  double modelview[16];
  bool haveMatrix = false;
  for (int i = 0; i < std::min(lights, 32); ++i) {
    const GLenum light = GL_LIGHT0 + i;
    SpotCone cone;
    if (!glIsEnabled(light) || !readSpotCone(light, &cone)) continue;
    if (!haveMatrix) {
      glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
      haveMatrix = true;
    }
    if (coneMissesBox(cone, modelview, min, max)) {
      glDisable(light);
      switchedOff_ |= 1u << i;
      ++switchedOffCount;
    }
  }
}

SpotLightsOutOfReach::~SpotLightsOutOfReach() {
  for (int i = 0; switchedOff_ >> i != 0; ++i) {
    if ((switchedOff_ >> i) & 1) glEnable(GL_LIGHT0 + i);
  }
}

void setSpotSwitching(bool on) { switching = on; }

bool spotSwitching() { return switching; }

unsigned long spotLightsSwitchedOff() { return switchedOffCount; }
