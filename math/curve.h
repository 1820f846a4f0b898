// The closed uniform Catmull-Rom curve the driving kart follows, and the
// range wrapping that keeps its parameter in [0, n).
#pragma once

#include "math/vector3d.h"

// `value` folded into [lo, hi) by whole multiples of hi - lo, in single precision.
// Rounding can return hi itself for a value just below a multiple of the range.
float wrapRange(float value, float lo, float hi);

// The point at local parameter u in [0, 1) of the segment from p1 (u = 0) towards p2.
CVector3D catmullRomSegment(const CVector3D& p0, const CVector3D& p1, const CVector3D& p2, const CVector3D& p3,
                            float u);

// The point at parameter t >= 0 of the closed curve through points[0 .. n-1];
// point i is reached at t = i and the curve repeats with period n.
CVector3D curvePoint(const CVector3D* points, unsigned n, float t);
