// Flat-colour drawing for the signboard pictures: shapes given by signed distance
// functions, filled with a one-pixel antialiasing ramp. Shape interiors get exactly
// their colour, so run-length encoding finds long runs.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "datagen/raster.h"
#include "datagen/vec.h"

namespace datagen {

struct Box2 {
  Vec2 min;
  Vec2 max;
};

// A picture drawn in design units: (0, 0) at the bottom left, (designWidth,
// designHeight) at the top right, stretched over the pixels.
class Canvas {
 public:
  Canvas(int width, int height, double designWidth, double designHeight, Color background);

  // Fills every pixel whose centre lies inside `bounds` by the shape's coverage.
  // `distance` is negative inside the shape.
  template <typename Distance>
  void fill(const Box2& bounds, Color color, const Distance& distance) {
    int x0 = std::max(0, static_cast<int>(std::floor(bounds.min.x / sx_)) - 1);
    int x1 = std::min(raster_.width() - 1, static_cast<int>(std::ceil(bounds.max.x / sx_)) + 1);
    int y0 = std::max(0, static_cast<int>(std::floor(bounds.min.y / sy_)) - 1);
    int y1 = std::min(raster_.height() - 1, static_cast<int>(std::ceil(bounds.max.y / sy_)) + 1);
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        double d = distance(Vec2{(x + 0.5) * sx_, (y + 0.5) * sy_});
        double coverage = clamp01(0.5 - d / ramp_);
        if (coverage > 0) raster_.at(x, y) = coverage >= 1 ? color : mixColor(raster_.at(x, y), color, coverage);
      }
    }
  }

  // Sets every pixel by a function of its design position (for banded backgrounds).
  template <typename ColorAt>
  void paint(const ColorAt& colorAt) {
    for (int y = 0; y < raster_.height(); ++y) {
      for (int x = 0; x < raster_.width(); ++x) raster_.at(x, y) = colorAt(Vec2{(x + 0.5) * sx_, (y + 0.5) * sy_});
    }
  }

  double pixelSize() const { return ramp_; }
  const Raster& raster() const { return raster_; }

 private:
  Raster raster_;
  double sx_, sy_, ramp_;
};

// ---- Signed distances --------------------------------------------------------

inline double circleDistance(Vec2 p, Vec2 c, double r) { return length(p - c) - r; }

inline double ellipseDistance(Vec2 p, Vec2 c, double rx, double ry, double angle = 0) {
  // Approximate: exact on the axes, good enough for a one-pixel edge ramp.
  Vec2 d = p - c;
  double ca = std::cos(angle), sa = std::sin(angle);
  Vec2 q{d.x * ca + d.y * sa, -d.x * sa + d.y * ca};
  double k = std::sqrt((q.x * q.x) / (rx * rx) + (q.y * q.y) / (ry * ry));
  return (k - 1) * std::min(rx, ry);
}

inline double segmentDistance(Vec2 p, Vec2 a, Vec2 b, double* along = nullptr) {
  Vec2 ab = b - a;
  double t = clamp01(dot(p - a, ab) / std::max(dot(ab, ab), 1e-12));
  if (along) *along = t;
  return length(p - (a + ab * t));
}

// Tube along a polyline whose radius runs linearly between the given per-point radii.
inline double tubeDistance(Vec2 p, const std::vector<Vec2>& pts, const std::vector<double>& radii) {
  double best = 1e9;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    double t = 0;
    double d = segmentDistance(p, pts[i], pts[i + 1], &t);
    best = std::min(best, d - mix(radii[i], radii[i + 1], t));
  }
  return best;
}

inline Box2 tubeBounds(const std::vector<Vec2>& pts, const std::vector<double>& radii) {
  Box2 b{{1e9, 1e9}, {-1e9, -1e9}};
  for (size_t i = 0; i < pts.size(); ++i) {
    b.min = {std::min(b.min.x, pts[i].x - radii[i]), std::min(b.min.y, pts[i].y - radii[i])};
    b.max = {std::max(b.max.x, pts[i].x + radii[i]), std::max(b.max.y, pts[i].y + radii[i])};
  }
  return b;
}

// Signed distance to a simple polygon (either turning order).
inline double polygonDistance(Vec2 p, const std::vector<Vec2>& poly) {
  double best = 1e9;
  bool inside = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    best = std::min(best, segmentDistance(p, poly[j], poly[i]));
    if ((poly[i].y > p.y) != (poly[j].y > p.y) &&
        p.x < (poly[j].x - poly[i].x) * (p.y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x) {
      inside = !inside;
    }
  }
  return inside ? -best : best;
}

inline Box2 pointsBounds(const std::vector<Vec2>& pts, double margin = 0) {
  Box2 b{{1e9, 1e9}, {-1e9, -1e9}};
  for (const Vec2& q : pts) {
    b.min = {std::min(b.min.x, q.x - margin), std::min(b.min.y, q.y - margin)};
    b.max = {std::max(b.max.x, q.x + margin), std::max(b.max.y, q.y + margin)};
  }
  return b;
}

inline Box2 circleBounds(Vec2 c, double r) { return {{c.x - r, c.y - r}, {c.x + r, c.y + r}}; }

}  // namespace datagen
