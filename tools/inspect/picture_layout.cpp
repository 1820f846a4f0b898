// The sheet, the cameras and the grid of a model's picture.
#include "tools/inspect/picture_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr double PI = 3.14159265358979323846;
// Front and side views look down a little, so that the ground grid shows.
constexpr double LOW_ELEVATION = 10;
constexpr double ISO_ELEVATION = 30;
constexpr double TURNTABLE_ELEVATION = 20;
constexpr double PERSPECTIVE_FOVY = 30;

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 normalized(Vec3 a) { return a * (1.0 / std::sqrt(dot(a, a))); }

struct Box {
  Vec3 lo, hi;
  bool empty = true;
};

Box boxOf(const std::vector<float>& points) {
  Box box;
  for (size_t i = 0; i + 2 < points.size(); i += 3) {
    const Vec3 p{points[i], points[i + 1], points[i + 2]};
    if (box.empty) {
      box.lo = box.hi = p;
      box.empty = false;
    }
    box.lo = {std::min(box.lo.x, p.x), std::min(box.lo.y, p.y), std::min(box.lo.z, p.z)};
    box.hi = {std::max(box.hi.x, p.x), std::max(box.hi.y, p.y), std::max(box.hi.z, p.z)};
  }
  return box;
}

// The camera's axes: right, up and back (from the target towards the eye).
struct ViewBasis {
  Vec3 right, up, back;
};

ViewBasis basisOf(const ViewAngles& view) {
  const double a = view.azimuth * PI / 180, e = view.elevation * PI / 180;
  ViewBasis basis;
  basis.back = normalized({-std::cos(e) * std::cos(a), std::sin(e), std::cos(e) * std::sin(a)});
  // Looking straight down, the top of the view is the side away from the azimuth.
  const Vec3 worldUp = view.elevation >= 89.9 ? Vec3{std::cos(a), 0, -std::sin(a)} : Vec3{0, 1, 0};
  basis.right = normalized(cross(worldUp, basis.back));
  basis.up = cross(basis.back, basis.right);
  return basis;
}

// Extents of the points along the camera's axes, relative to `origin`.
struct Extent {
  double lo[3] = {0, 0, 0};
  double hi[3] = {0, 0, 0};
};

Extent extentOf(const std::vector<float>& points, const ViewBasis& basis, Vec3 origin) {
  Extent extent;
  bool first = true;
  for (size_t i = 0; i + 2 < points.size(); i += 3) {
    const Vec3 d = Vec3{points[i], points[i + 1], points[i + 2]} - origin;
    const double c[3] = {dot(d, basis.right), dot(d, basis.up), dot(d, basis.back)};
    for (int k = 0; k < 3; ++k) {
      extent.lo[k] = first ? c[k] : std::min(extent.lo[k], c[k]);
      extent.hi[k] = first ? c[k] : std::max(extent.hi[k], c[k]);
    }
    first = false;
  }
  return extent;
}

}  // namespace

SheetLayout layoutSheet(int views, int viewWidth, int viewHeight) {
  SheetLayout layout;
  layout.columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(views)) - 1e-9)));
  layout.rows = std::max(1, (views + layout.columns - 1) / layout.columns);
  layout.viewWidth = viewWidth;
  layout.viewHeight = viewHeight;
  layout.width = layout.columns * viewWidth;
  layout.height = layout.rows * (viewHeight + CAPTION_HEIGHT) + FOOTER_HEIGHT;
  return layout;
}

ViewRect viewRect(const SheetLayout& layout, int index) {
  return {(index % layout.columns) * layout.viewWidth, (index / layout.columns) * (layout.viewHeight + CAPTION_HEIGHT),
          layout.viewWidth, layout.viewHeight};
}

std::vector<ViewAngles> pictureViews(const PictureOptions& options) {
  std::vector<ViewAngles> views;
  if (options.turntable > 0) {
    for (int i = 0; i < options.turntable; ++i) {
      const double azimuth = 360.0 * i / options.turntable;
      views.push_back({"turn " + shortNumber(azimuth), azimuth, TURNTABLE_ELEVATION});
    }
    return views;
  }
  for (ViewName name : options.views) {
    switch (name) {
      case ViewName::FRONT:
        views.push_back({"front", 0, LOW_ELEVATION});
        break;
      case ViewName::SIDE:
        views.push_back({"side", 90, LOW_ELEVATION});
        break;
      case ViewName::TOP:
        views.push_back({"top", 90, 90});
        break;
      case ViewName::ISO:
        views.push_back({"iso", 45, ISO_ELEVATION});
        break;
    }
  }
  return views;
}

ViewCamera frameView(const ViewAngles& view, const std::vector<float>& points, double aspect, bool ortho) {
  const ViewBasis basis = basisOf(view);
  const Box box = boxOf(points);
  const Vec3 center = box.empty ? Vec3{} : (box.lo + box.hi) * 0.5;
  const Vec3 diagonal = box.empty ? Vec3{} : box.hi - box.lo;
  // A model without extent (one point) still gets a view of some size.
  double radius = 0.5 * std::sqrt(dot(diagonal, diagonal));
  if (!(radius > 0)) radius = 1;

  ViewCamera camera;
  camera.ortho = ortho;
  camera.aspect = aspect;
  camera.up = basis.up;
  Extent extent = extentOf(points, basis, center);
  Vec3 target =
      center + basis.right * ((extent.lo[0] + extent.hi[0]) / 2) + basis.up * ((extent.lo[1] + extent.hi[1]) / 2);
  double distance = 4 * radius;
  if (ortho) {
    const double halfWidth = (extent.hi[0] - extent.lo[0]) / 2, halfHeight = (extent.hi[1] - extent.lo[1]) / 2;
    camera.halfHeight = std::max(halfHeight, halfWidth / aspect) / VIEW_FILL;
    if (!(camera.halfHeight > 0)) camera.halfHeight = radius;
  } else {
    camera.fovy = PERSPECTIVE_FOVY;
    const double tanY = std::tan(PERSPECTIVE_FOVY * PI / 360) * VIEW_FILL, tanX = tanY * aspect;
    // The nearest eye from which every point lies within the filled share of
    // the view; then once more after centring what that eye sees.
    for (int round = 0; round < 3; ++round) {
      extent = extentOf(points, basis, target);
      distance = 0;
      for (size_t i = 0; i + 2 < points.size(); i += 3) {
        const Vec3 d = Vec3{points[i], points[i + 1], points[i + 2]} - target;
        const double x = dot(d, basis.right), y = dot(d, basis.up), z = dot(d, basis.back);
        distance = std::max({distance, z + std::fabs(x) / tanX, z + std::fabs(y) / tanY});
      }
      if (!(distance > extent.hi[2])) distance = extent.hi[2] + radius;
      if (round == 2) break;
      double lo[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
      double hi[2] = {-lo[0], -lo[1]};
      for (size_t i = 0; i + 2 < points.size(); i += 3) {
        const Vec3 d = Vec3{points[i], points[i + 1], points[i + 2]} - target;
        const double depth = distance - dot(d, basis.back);
        const double u = dot(d, basis.right) / depth, v = dot(d, basis.up) / depth;
        lo[0] = std::min(lo[0], u), hi[0] = std::max(hi[0], u);
        lo[1] = std::min(lo[1], v), hi[1] = std::max(hi[1], v);
      }
      if (points.empty()) break;
      target = target + basis.right * ((lo[0] + hi[0]) / 2 * distance) + basis.up * ((lo[1] + hi[1]) / 2 * distance);
    }
  }
  camera.target = target;
  camera.eye = target + basis.back * distance;
  // The grid reaches further than the model; the planes leave room for it.
  camera.nearPlane = std::max(distance - extent.hi[2] - 2 * radius, (distance - extent.hi[2]) * 0.05);
  camera.farPlane = distance - extent.lo[2] + 3 * radius;
  return camera;
}

double roundStepDown(double value) {
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  const double mantissa = value / power;
  return (mantissa >= 5 ? 5 : mantissa >= 2 ? 2 : 1) * power;
}

GroundGrid planGrid(const std::vector<float>& points, double modelUnits) {
  GroundGrid grid;
  const Box box = boxOf(points);
  if (box.empty) {
    grid.step = 0.25;
    grid.halfLines = 4;
    grid.stepInModelUnits = grid.step * modelUnits;
    return grid;
  }
  grid.centerX = (box.lo.x + box.hi.x) / 2;
  grid.centerZ = (box.lo.z + box.hi.z) / 2;
  const double largest = std::max({box.hi.x - box.lo.x, box.hi.y - box.lo.y, box.hi.z - box.lo.z});
  const double footprint = std::max(box.hi.x - box.lo.x, box.hi.z - box.lo.z);
  // A little under the model, so that faces lying on the ground hide the lines.
  grid.level = box.lo.y - 0.002 * largest;
  if (!(largest > 0) || !(modelUnits > 0)) {
    grid.step = largest > 0 ? largest / 4 : 0.25;
    grid.halfLines = 4;
    grid.stepInModelUnits = grid.step * modelUnits;
    return grid;
  }
  // Steps that are round numbers in the file's units: about six across the model.
  grid.stepInModelUnits = roundStepDown(largest * modelUnits / 6);
  grid.step = grid.stepInModelUnits / modelUnits;
  grid.halfLines = std::clamp(static_cast<int>(std::ceil(0.65 * std::max(footprint, largest / 2) / grid.step)), 1, 40);
  return grid;
}

std::string shortNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", value);
  return text;
}
