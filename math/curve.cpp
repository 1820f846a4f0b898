// The closed uniform Catmull-Rom curve and range wrapping. Every intermediate
// named a float is rounded to float: the kart's lap logic counts integer
// crossings of these coordinates, so the rounding is part of the behaviour.
#include "math/curve.h"

#include <cmath>

float wrapRange(float value, float lo, float hi) {
  const float range = hi - lo;
  float r = static_cast<float>(std::fmod(static_cast<double>(static_cast<float>(value - lo)), range));
  if (r < 0) r = static_cast<float>(r + range);
  return static_cast<float>(lo + r);
}

CVector3D catmullRomSegment(const CVector3D& p0, const CVector3D& p1, const CVector3D& p2, const CVector3D& p3,
                            float u) {
  const float h1 = u * 0.5f;
  const float h2 = h1 * u;
  const float h3 = h2 * u;

  const CVector3D k0 = 0.5 * (2.0 * p1);
  const CVector3D k1 = (-p0) + p2;
  const CVector3D k2 = ((2.0 * p0 - 5.0 * p1) + 4.0 * p2) - p3;
  const CVector3D k3 = (((-p0) + 3.0 * p1) - 3.0 * p2) + p3;

  return ((static_cast<double>(h3) * k3 + static_cast<double>(h2) * k2) + static_cast<double>(h1) * k1) + k0;
}

CVector3D curvePoint(const CVector3D* points, unsigned n, float t) {
  // The segment's first point comes from the wrapped parameter; its neighbours
  // are taken cyclically from it. Forming t - 1, t + 1 and t + 2 in floats and
  // wrapping each would round a parameter just below an integer onto two
  // different segments, and just below n onto the index n itself.
  unsigned i1 = static_cast<unsigned>(wrapRange(t, 0, static_cast<float>(n)));
  if (i1 >= n) i1 = n - 1;
  const unsigned i0 = (i1 + n - 1) % n;
  const unsigned i2 = (i1 + 1) % n;
  const unsigned i3 = (i1 + 2) % n;
  const float u = static_cast<float>(t - std::trunc(t));
  return catmullRomSegment(points[i0], points[i1], points[i2], points[i3], u);
}
