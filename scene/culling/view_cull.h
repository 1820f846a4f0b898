// What the current matrices can show: the one clip-space test and the one
// pixel-centre test, conservative both, by which the frame leaves out what can
// give neither a fragment nor a hit. The objects' boxes, the ground's squares
// and cells and the corners that decide a strip's route all go through them.
#pragma once

#include <algorithm>
#include <cmath>

// The margins of every test, the objects' and the ground's alike.

// Relative margin on the clip planes, far above double and float rounding of
// the clip coordinates: a point counts as beyond a plane only when it is
// clearly beyond it, and as inside only when it is clearly inside.
constexpr double CLIP_MARGIN = 1e-5;

// In pixels: llvmpipe snaps window coordinates to 1/256 pixel and pixel
// centres can lie within a few thousandths of a pixel of an edge.
constexpr double PIXEL_MARGIN = 0.02;

// Shapes with a point nearer than this in clip w (the eye depth under the
// program's perspective projections) are always kept: their projections are
// large and float rounding in the pipeline grows with them.
constexpr double NEAR_KEEP_W = 0.5;

// Beyond this many pixels from the viewport the float rounding of the pipeline
// is no longer small beside the margin; such shapes are kept.
constexpr double FAR_OUT_PIXELS = 1 << 20;

// One point in clip coordinates.
struct ClipPoint {
  double x, y, z, w;
};

// The current projection times modelview, the viewport and the render mode,
// read from GL when a drawing pass starts.
struct ViewCull {
  double matrix[16];   // projection * modelview, column-major
  double viewport[4];  // x, y, width, height
  int firstX, lastX, firstY, lastY;  // the viewport's pixel centres, as integer parts
  bool pixelTest;      // rendering: shapes that cover no pixel centre may go too

  ClipPoint toClip(double x, double y, double z) const {
    return {matrix[0] * x + matrix[4] * y + matrix[8] * z + matrix[12],
            matrix[1] * x + matrix[5] * y + matrix[9] * z + matrix[13],
            matrix[2] * x + matrix[6] * y + matrix[10] * z + matrix[14],
            matrix[3] * x + matrix[7] * y + matrix[11] * z + matrix[15]};
  }
};

// Reads the current matrices, viewport and render mode. The pixel test is on
// in GL_RENDER only: selection and feedback report primitives that cover no pixel.
ViewCull currentViewCull();

// The clip test. One bit per plane of -w <= x, y, z <= w: +x, -x, +y, -y, +z, -z.
// `side` +1 sets the bits of the planes the point lies clearly beyond; -1 sets
// those it does not lie clearly inside of. The margin is CLIP_MARGIN times the
// point's size. A NaN coordinate is neither clearly beyond nor clearly inside.
inline int clipPlanes(const ClipPoint& p, double side) {
  const double m = side * CLIP_MARGIN * (std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z) + std::fabs(p.w));
  const double hi = p.w + m, lo = -p.w - m;
  if (side > 0) {
    return (p.x > hi) | (p.x < lo) << 1 | (p.y > hi) << 2 | (p.y < lo) << 3 | (p.z > hi) << 4 | (p.z < lo) << 5;
  }
  return (p.x < hi ? 0 : 1) | (p.x > lo ? 0 : 2) | (p.y < hi ? 0 : 4) | (p.y > lo ? 0 : 8) | (p.z < hi ? 0 : 16) |
         (p.z > lo ? 0 : 32);
}

// What a convex shape spanned by some points can reach: the clip planes all of
// them lie clearly beyond, and the pixel centres the shape's window box could
// hold, clamped to the viewport (columns loX..hiX, rows loY..hiY). Joined over
// the points, the shape can show when no plane is left and the box holds a
// centre. A point that decides nothing about pixels (near or behind the eye,
// far out, NaN, or not rendering) spans every centre.
struct ViewFootprint {
  int planes;
  int loX, hiX, loY, hiY;
};

constexpr int SPAN_ALL_LO = -(1 << 30);
constexpr int SPAN_ALL_HI = 1 << 30;

// Floor and ceiling of values well inside the int range, without a library call.
inline int floorToInt(double v) {
  const int i = static_cast<int>(v);
  return i > v ? i - 1 : i;
}
inline int ceilToInt(double v) {
  const int i = static_cast<int>(v);
  return i < v ? i + 1 : i;
}

// One point's footprint: the clip test and the pixel-centre test.
inline ViewFootprint footprint(const ViewCull& view, const ClipPoint& p) {
  ViewFootprint f{clipPlanes(p, 1), SPAN_ALL_LO, SPAN_ALL_HI, SPAN_ALL_LO, SPAN_ALL_HI};
  if (!view.pixelTest || !(p.w >= NEAR_KEEP_W)) return f;
  const double* vp = view.viewport;
  const double wx = vp[0] + (p.x / p.w + 1) * (vp[2] / 2);
  const double wy = vp[1] + (p.y / p.w + 1) * (vp[3] / 2);
  if (!(std::fabs(wx) < FAR_OUT_PIXELS && std::fabs(wy) < FAR_OUT_PIXELS)) return f;
  // Pixel centres sit at integer + 0.5; those within the margin of the point.
  f.loX = std::max(ceilToInt(wx - PIXEL_MARGIN - 0.5), view.firstX);
  f.hiX = std::min(floorToInt(wx + PIXEL_MARGIN - 0.5), view.lastX);
  f.loY = std::max(ceilToInt(wy - PIXEL_MARGIN - 0.5), view.firstY);
  f.hiY = std::min(floorToInt(wy + PIXEL_MARGIN - 0.5), view.lastY);
  return f;
}

inline ViewFootprint joined(const ViewFootprint& a, const ViewFootprint& b) {
  return {a.planes & b.planes, std::min(a.loX, b.loX), std::max(a.hiX, b.hiX), std::min(a.loY, b.loY),
          std::max(a.hiY, b.hiY)};
}

// Whether the shape behind a joined footprint can give a fragment (rendering)
// or a hit: no plane has every point beyond it, and its box holds a pixel centre.
inline bool canShow(const ViewFootprint& f) { return f.planes == 0 && f.hiX >= f.loX && f.hiY >= f.loY; }

// Whether anything inside the box [min, max] of the current modelview's space
// can give a fragment (rendering) or a hit (selection) under the current matrices.
bool boxCanShow(const float min[3], const float max[3]);
