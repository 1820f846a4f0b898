// Polygon primitives as triangles.
#include "web/gl/primitives.h"

namespace webgl {

namespace {
constexpr unsigned TRIANGLES = 4, TRIANGLE_STRIP = 5, TRIANGLE_FAN = 6, QUADS = 7, QUAD_STRIP = 8, POLYGON = 9;

void triangle(std::vector<std::uint32_t>& out, int a, int b, int c) {
  out.push_back(static_cast<std::uint32_t>(a));
  out.push_back(static_cast<std::uint32_t>(b));
  out.push_back(static_cast<std::uint32_t>(c));
}
}  // namespace

bool isPolygonPrimitive(unsigned mode) { return mode >= TRIANGLES && mode <= POLYGON; }

void triangulate(unsigned mode, int count, std::vector<std::uint32_t>& out) {
  switch (mode) {
    case TRIANGLES:
      for (int i = 0; i + 2 < count; i += 3) triangle(out, i, i + 1, i + 2);
      break;
    case TRIANGLE_STRIP:
      // Every other triangle swaps its first two corners to keep the strip's winding.
      for (int i = 0; i + 2 < count; ++i) {
        if (i % 2 == 0) {
          triangle(out, i, i + 1, i + 2);
        } else {
          triangle(out, i + 1, i, i + 2);
        }
      }
      break;
    case TRIANGLE_FAN:
    case POLYGON:
      for (int i = 1; i + 1 < count; ++i) triangle(out, 0, i, i + 1);
      break;
    case QUADS:
      for (int i = 0; i + 3 < count; i += 4) {
        triangle(out, i, i + 1, i + 2);
        triangle(out, i, i + 2, i + 3);
      }
      break;
    case QUAD_STRIP:
      // Quad i: corners i, i + 1, i + 3, i + 2 in drawing order.
      for (int i = 0; i + 3 < count; i += 2) {
        triangle(out, i + 2, i, i + 3);
        triangle(out, i, i + 1, i + 3);
      }
      break;
    default:
      break;
  }
}

}  // namespace webgl
