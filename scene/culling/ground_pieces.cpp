// Choosing the ground's pieces, and their fans.
#include "scene/culling/ground_pieces.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "scene/culling/ground_lighting.h"

namespace {

using Vec3 = std::array<double, 3>;

// Largest difference, per colour channel, between a fan's interpolated
// lighting and the cells' own vertex lighting: one level of eight bits.
constexpr double LIGHT_TOLERANCE = 1.0 / 255;

// Margin on the spot cut-off, in radians, far above float rounding in the
// pipeline's cone test.
constexpr double CONE_MARGIN = 1e-3;

// Cone classification splits a piece into squares down to this fraction of
// its side (and never below two cells): deeper, a piece the light tells apart
// that finely would fail its samples anyway.
constexpr int CONE_TEST_SPLITS = 8;

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The modelview's upper 3 x 3, inverted, and what it takes from eye space back
// to the ground's space.
struct EyeToGround {
  double inverse[3][3];
  Vec3 translation;
  bool valid = false;

  explicit EyeToGround(const double* m) {
    const double a[3][3] = {{m[0], m[4], m[8]}, {m[1], m[5], m[9]}, {m[2], m[6], m[10]}};
    const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                       a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                       a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    if (det == 0 || !std::isfinite(det)) return;
    inverse[0][0] = (a[1][1] * a[2][2] - a[1][2] * a[2][1]) / det;
    inverse[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
    inverse[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
    inverse[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) / det;
    inverse[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
    inverse[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
    inverse[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) / det;
    inverse[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
    inverse[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
    translation = {m[12], m[13], m[14]};
    valid = true;
  }

  Vec3 direction(const Vec3& v) const {
    return {inverse[0][0] * v[0] + inverse[0][1] * v[1] + inverse[0][2] * v[2],
            inverse[1][0] * v[0] + inverse[1][1] * v[1] + inverse[1][2] * v[2],
            inverse[2][0] * v[0] + inverse[2][1] * v[1] + inverse[2][2] * v[2]};
  }
  Vec3 point(const Vec3& p) const {
    return direction({p[0] - translation[0], p[1] - translation[1], p[2] - translation[2]});
  }
};

enum class ConeSide { Inside, Outside, Across };

// A spot light's cone in eye space, with its cut-off widened and narrowed by
// the margin, as cosines and sines worked out once per plan.
struct SpotCone {
  Vec3 apex;
  Vec3 axis;            // unit length
  double cosInner;      // cos(cut-off - margin): inside by the margin
  double cosOuter;      // cos(cut-off + margin)
  double sinOuter;      // sin(cut-off + margin)
  bool convex;          // the cut-off is under 90 degrees

  explicit SpotCone(const GroundLight& light) {
    apex = light.point;
    axis = light.spotDirection;
    const double cutoff = light.cutoffDegrees * M_PI / 180;
    cosInner = std::cos(cutoff - CONE_MARGIN);
    cosOuter = std::cos(cutoff + CONE_MARGIN);
    sinOuter = std::sin(cutoff + CONE_MARGIN);
    convex = cutoff + CONE_MARGIN < M_PI / 2;
  }
};

// Where the rectangle of cells [i0, i1) x [k0, k1) lies against a spot cone.
// Inside needs every corner inside (the cone is convex); outside needs the
// rectangle's bounding sphere to lie off the cone by the margin; otherwise the
// rectangle is split, down to `smallest` cells a side.
ConeSide coneSide(const GroundLighting& lighting, const SpotCone& cone, int i0, int i1, int k0, int k1,
                  int smallest) {
  const std::vector<float>& edges = groundEdges();
  const Vec3 corners[4] = {lighting.eyePoint(edges[i0], edges[k0]), lighting.eyePoint(edges[i1], edges[k0]),
                           lighting.eyePoint(edges[i0], edges[k1]), lighting.eyePoint(edges[i1], edges[k1])};
  if (cone.convex) {
    int inside = 0;
    for (const Vec3& c : corners) {
      const Vec3 d{c[0] - cone.apex[0], c[1] - cone.apex[1], c[2] - cone.apex[2]};
      if (dot(d, cone.axis) >= std::sqrt(dot(d, d)) * cone.cosInner) ++inside;
    }
    if (inside == 4) return ConeSide::Inside;
  }

  const Vec3 centre{(corners[0][0] + corners[3][0]) / 2, (corners[0][1] + corners[3][1]) / 2,
                    (corners[0][2] + corners[3][2]) / 2};
  double radius2 = 0;
  for (const Vec3& c : corners) {
    const Vec3 d{c[0] - centre[0], c[1] - centre[1], c[2] - centre[2]};
    radius2 = std::max(radius2, dot(d, d));
  }
  const Vec3 toCentre{centre[0] - cone.apex[0], centre[1] - cone.apex[1], centre[2] - cone.apex[2]};
  const double distance2 = dot(toCentre, toCentre);
  if (distance2 > radius2 && cone.convex) {
    // Off the cone when the angle to the axis exceeds cut-off + margin + the
    // sphere's half-angle b: cos(angle) < cos(cut-off + margin + b).
    const double distance = std::sqrt(distance2);
    const double sinB = std::sqrt(radius2) / distance, cosB = std::sqrt(1 - sinB * sinB);
    if (dot(toCentre, cone.axis) / distance < cone.cosOuter * cosB - cone.sinOuter * sinB) return ConeSide::Outside;
  }
  if (i1 - i0 <= smallest) return ConeSide::Across;
  const int im = (i0 + i1) / 2, km = (k0 + k1) / 2;
  const int parts[4][4] = {{i0, im, k0, km}, {im, i1, k0, km}, {i0, im, km, k1}, {im, i1, km, k1}};
  ConeSide first = ConeSide::Across;
  for (int p = 0; p < 4; ++p) {
    const ConeSide side = coneSide(lighting, cone, parts[p][0], parts[p][1], parts[p][2], parts[p][3], smallest);
    // One part across, or two on different sides, settles it.
    if (side == ConeSide::Across || (p > 0 && side != first)) return ConeSide::Across;
    first = side;
  }
  return first;
}

// The lighting at grid points, each worked out when first asked for in a plan.
class GridShades {
 public:
  void start(const GroundLighting& lighting) {
    lighting_ = &lighting;
    if (++generation_ == 0) {  // wrapped: forget every stamp
      for (auto& row : points_) {
        for (Point& point : row) point.stamp = 0;
      }
      generation_ = 1;
    }
  }

  Rgb at(int i, int k) {
    Point& point = points_[i][k];
    if (point.stamp != generation_) {
      const std::vector<float>& edges = groundEdges();
      const Rgb shade = lighting_->shade(edges[i], edges[k]);
      for (int c = 0; c < 3; ++c) point.shade[c] = static_cast<float>(shade[c]);
      point.stamp = generation_;
    }
    return {point.shade[0], point.shade[1], point.shade[2]};
  }

 private:
  // Stamp and colour side by side: one cache line holds four points.
  struct Point {
    float shade[3];
    unsigned stamp = 0;
  };
  const GroundLighting* lighting_ = nullptr;
  unsigned generation_ = 0;
  std::array<std::array<Point, GROUND_DIVISIONS + 1>, GROUND_DIVISIONS + 1> points_{};
};

// The fan's interpolation at piece-local (u, v) in [0, 1]^2 from its corners
// c00, c10, c01, c11 (u along columns, v along rows) and its centre: the
// triangle of the edge the point faces.
Rgb fanValue(const Rgb& c00, const Rgb& c10, const Rgb& c01, const Rgb& c11, const Rgb& centre, double u, double v) {
  const double du = u - 0.5, dv = v - 0.5;
  const Rgb *a, *b;
  double along, depth;
  if (std::fabs(dv) >= std::fabs(du)) {
    a = dv < 0 ? &c00 : &c01;
    b = dv < 0 ? &c10 : &c11;
    along = u;
    depth = 2 * std::fabs(dv);
  } else {
    a = du < 0 ? &c00 : &c10;
    b = du < 0 ? &c01 : &c11;
    along = v;
    depth = 2 * std::fabs(du);
  }
  // Barycentric weights: the centre's falls from 1 there to 0 on the edge; the
  // rest goes to the edge's ends by where the point lies along it.
  const double wb = along - 0.5 * (1 - depth);
  const double wa = depth - wb;
  Rgb out;
  for (int c = 0; c < 3; ++c) out[c] = (1 - depth) * centre[c] + wa * (*a)[c] + wb * (*b)[c];
  return out;
}

bool withinTolerance(const Rgb& a, const Rgb& b) {
  for (int c = 0; c < 3; ++c) {
    if (std::fabs(a[c] - b[c]) > LIGHT_TOLERANCE) return false;
  }
  return true;
}

// Points where the lighting peaks, in the ground's space: under each light
// (a spot's pool is brightest there) and where the sun's highlight is.
struct Peaks {
  std::array<double, 2> points[GroundLighting::MAX_LIGHTS];
  int count = 0;
};

Peaks findPeaks(const GroundLighting& lighting, const EyeToGround& toGround, const Vec3& eye) {
  Peaks peaks;
  if (!toGround.valid) return peaks;
  for (int i = 0; i < lighting.lightCount; ++i) {
    const GroundLight& light = lighting.lights[i];
    if (light.position[3] != 0) {
      const double w = light.position[3];
      const Vec3 p = toGround.point({light.position[0] / w, light.position[1] / w, light.position[2] / w});
      peaks.points[peaks.count++] = {p[0], p[2]};
    } else if (light.specular[0] + light.specular[1] + light.specular[2] > 0) {
      // The highlight is where the direction to the eye mirrors the light's.
      Vec3 l = toGround.direction({light.position[0], light.position[1], light.position[2]});
      const double length = std::sqrt(dot(l, l));
      if (length == 0 || l[1] <= 0 || eye[1] <= 0) continue;
      l = {l[0] / length, l[1] / length, l[2] / length};
      const double t = eye[1] / l[1];
      peaks.points[peaks.count++] = {eye[0] + t * l[0], eye[2] + t * l[2]};
    }
  }
  return peaks;
}

// Linear interpolation over the two triangles of a quad split along the
// diagonal from c00 to c11 (`rising`) or from c10 to c01, at (u, v) in [0, 1]^2.
Rgb splitValue(const Rgb& c00, const Rgb& c10, const Rgb& c01, const Rgb& c11, bool rising, double u, double v) {
  Rgb out;
  for (int c = 0; c < 3; ++c) {
    if (rising) {
      out[c] = v <= u ? c00[c] + u * (c10[c] - c00[c]) + v * (c11[c] - c10[c])
                      : c00[c] + v * (c01[c] - c00[c]) + u * (c11[c] - c01[c]);
    } else {
      out[c] = u + v <= 1 ? c00[c] + u * (c10[c] - c00[c]) + v * (c01[c] - c00[c])
                          : c11[c] + (1 - u) * (c01[c] - c11[c]) + (1 - v) * (c10[c] - c11[c]);
    }
  }
  return out;
}

// How the piece of `size` cells a side at (i0, k0) may be drawn so that it
// lights as its cells do (see planGround): not at all, or as a fan round its
// centre, which always serves, or also as two triangles, which serve where
// no smaller piece or cell lies along its edges.
PieceShape pieceShape(const GroundLighting& lighting, const std::vector<SpotCone>& cones, GridShades& shades,
                      const Peaks& peaks, int i0, int k0, int size) {
  const int i1 = i0 + size, k1 = k0 + size;
  const Rgb c00 = shades.at(i0, k0), c10 = shades.at(i1, k0), c01 = shades.at(i0, k1), c11 = shades.at(i1, k1);
  const Rgb centre = shades.at(i0 + size / 2, k0 + size / 2);
  const auto matches = [&](int i, int k) {
    const double u = static_cast<double>(i - i0) / size, v = static_cast<double>(k - k0) / size;
    return withinTolerance(fanValue(c00, c10, c01, c11, centre, u, v), shades.at(i, k));
  };
  const auto splitMatches = [&](bool rising, int i, int k) {
    const double u = static_cast<double>(i - i0) / size, v = static_cast<double>(k - k0) / size;
    return withinTolerance(splitValue(c00, c10, c01, c11, rising, u, v), shades.at(i, k));
  };
  // Whether `test` holds at the four grid points round each peak that falls
  // in the piece.
  const std::vector<float>& edges = groundEdges();
  constexpr double STEP = GROUND_SIZE / GROUND_DIVISIONS;
  const auto holdsRoundPeaks = [&](const auto& test) {
    for (int p = 0; p < peaks.count; ++p) {
      const double x = peaks.points[p][0], z = peaks.points[p][1];
      if (!(x >= edges[i0] && x <= edges[i1] && z >= edges[k0] && z <= edges[k1])) continue;
      const int i = std::clamp(static_cast<int>((x - edges[0]) / STEP), i0, i1 - 1);
      const int k = std::clamp(static_cast<int>((z - edges[0]) / STEP), k0, k1 - 1);
      if (!test(i, k) || !test(i + 1, k) || !test(i, k + 1) || !test(i + 1, k + 1)) return false;
    }
    return true;
  };
  // Round the peaks is where a piece most often fails, so they go first.
  if (!holdsRoundPeaks(matches)) return PieceShape::None;
  // Every grid point of a tile; one per tile corner of a block; one per block
  // corner of anything larger. The coarser lattices are each other's points,
  // so a piece's samples serve its parts again.
  const int stride = size == GROUND_TILE ? 1 : size == GROUND_TILE * PIECE_SPLIT ? GROUND_TILE : GROUND_TILE * PIECE_SPLIT;
  for (int i = i0; i <= i1; i += stride) {
    for (int k = k0; k <= k1; k += stride) {
      if (!matches(i, k)) return PieceShape::None;
    }
  }
  // A cone's edge can pass between the samples: the pieces it crosses go too.
  const int smallest = std::max(2, size / CONE_TEST_SPLITS);
  for (const SpotCone& cone : cones) {
    if (coneSide(lighting, cone, i0, i1, k0, k1, smallest) == ConeSide::Across) return PieceShape::None;
  }
  // The largest pieces keep their centre: two triangles across 100 cells
  // interpolate texture coordinates too loosely where the ground is seen edge-on.
  if (size == LARGEST_PIECE) return PieceShape::Fan;
  // Two triangles, when either split meets every sample the fan met.
  for (const bool rising : {true, false}) {
    bool all = true;
    for (int i = i0; i <= i1 && all; i += stride) {
      for (int k = k0; k <= k1 && all; k += stride) all = splitMatches(rising, i, k);
    }
    if (all && holdsRoundPeaks([&](int i, int k) { return splitMatches(rising, i, k); })) {
      return rising ? PieceShape::Rising : PieceShape::Falling;
    }
  }
  return PieceShape::Fan;
}

void setPiece(GroundPlan& plan, int ti0, int tk0, int tiles, unsigned short size, PieceShape shape) {
  for (int ti = ti0; ti < ti0 + tiles; ++ti) {
    for (int tk = tk0; tk < tk0 + tiles; ++tk) plan.pieceSize[ti][tk] = size;
  }
  plan.shape[ti0][tk0] = shape;
}

// The side of the piece that holds cell (i, k), or 0 when there is none there.
int pieceSizeAt(const GroundPlan& plan, int i, int k) {
  if (i < 0 || k < 0 || i >= GROUND_DIVISIONS || k >= GROUND_DIVISIONS) return 0;
  return plan.pieceSize[i / GROUND_TILE][k / GROUND_TILE];
}

void appendPiece(const GroundPlan& plan, int i0, int k0, int size, std::vector<GroundVertex>& triangles) {
  const std::vector<float>& edges = groundEdges();
  const int i1 = i0 + size, k1 = k0 + size;
  // t starts from an even row so that the mirroring stays in step with the rows.
  const int t0 = k0 - k0 % 2;
  const auto vertex = [&](int i, int k) {
    return GroundVertex{static_cast<float>(i1 - i), static_cast<float>(k - t0), edges[i], 0, edges[k]};
  };
  // A point inside an edge is a corner when a smaller piece across the edge
  // starts or ends there (pieces are aligned to their size). (i, k) is the
  // cell across that starts at the point, `along` the point's place along the
  // edge and (bi, bk) the cell across that ends there.
  const auto cornerAcross = [&](int i, int k, int bi, int bk, int along) {
    const int starting = pieceSizeAt(plan, i, k), ending = pieceSizeAt(plan, bi, bk);
    return (starting != 0 && starting < size && along % starting == 0) ||
           (ending != 0 && ending < size && along % ending == 0);
  };
  static std::vector<GroundVertex> loop;
  loop.clear();
  // Once round: the -z edge towards +x, the +x edge towards +z, the +z edge
  // towards -x, the -x edge towards -z.
  for (int i = i0; i < i1; ++i) {
    if (i == i0 || cornerAcross(i, k0 - 1, i - 1, k0 - 1, i)) loop.push_back(vertex(i, k0));
  }
  for (int k = k0; k < k1; ++k) {
    if (k == k0 || cornerAcross(i1, k, i1, k - 1, k)) loop.push_back(vertex(i1, k));
  }
  for (int i = i1; i > i0; --i) {
    if (i == i1 || cornerAcross(i, k1, i - 1, k1, i)) loop.push_back(vertex(i, k1));
  }
  for (int k = k1; k > k0; --k) {
    if (k == k1 || cornerAcross(i0 - 1, k, i0 - 1, k - 1, k)) loop.push_back(vertex(i0, k));
  }
  const PieceShape shape = plan.shape[i0 / GROUND_TILE][k0 / GROUND_TILE];
  if (loop.size() == 4 && shape != PieceShape::Fan) {
    // Corners in loop order: (i0, k0), (i1, k0), (i1, k1), (i0, k1).
    const bool rising = shape == PieceShape::Rising;
    const GroundVertex& a = loop[rising ? 0 : 1];
    const GroundVertex quad[6] = {a, loop[rising ? 1 : 2], loop[rising ? 2 : 3], a, loop[rising ? 2 : 3],
                                  loop[rising ? 3 : 0]};
    triangles.insert(triangles.end(), quad, quad + 6);
    return;
  }
  const GroundVertex centre = vertex(i0 + size / 2, k0 + size / 2);
  for (std::size_t c = 0; c < loop.size(); ++c) {
    triangles.push_back(centre);
    triangles.push_back(loop[c]);
    triangles.push_back(loop[(c + 1) % loop.size()]);
  }
}

}  // namespace

void planGround(const GroundLighting& lighting, const GroundCellsTest& canShow, GroundPlan& plan) {
  const EyeToGround toGround(lighting.modelview);
  const Vec3 eye = toGround.valid ? toGround.point({0, 0, 0}) : Vec3{0, 0, 0};
  const Peaks peaks = findPeaks(lighting, toGround, eye);
  static GridShades shades;
  shades.start(lighting);
  std::vector<SpotCone> cones;
  for (int l = 0; l < lighting.lightCount; ++l) {
    const GroundLight& light = lighting.lights[l];
    if (light.spot && light.position[3] != 0) cones.emplace_back(light);
  }

  // Coarsest first, then fifths of a side down to tiles.
  const std::function<void(int, int, int)> decide = [&](int i0, int k0, int size) {
    const int ti0 = i0 / GROUND_TILE, tk0 = k0 / GROUND_TILE, tiles = size / GROUND_TILE;
    if (!canShow(i0, i0 + size, k0, k0 + size)) {
      setPiece(plan, ti0, tk0, tiles, 0, PieceShape::None);
      return;
    }
    const PieceShape shape =
        toGround.valid ? pieceShape(lighting, cones, shades, peaks, i0, k0, size) : PieceShape::None;
    if (shape != PieceShape::None) {
      setPiece(plan, ti0, tk0, tiles, static_cast<unsigned short>(size), shape);
    } else if (size == GROUND_TILE) {
      setPiece(plan, ti0, tk0, tiles, 1, PieceShape::None);
    } else {
      const int part = size / PIECE_SPLIT;
      for (int a = 0; a < PIECE_SPLIT; ++a) {
        for (int b = 0; b < PIECE_SPLIT; ++b) decide(i0 + a * part, k0 + b * part, part);
      }
    }
  };
  for (int i = 0; i < GROUND_DIVISIONS; i += LARGEST_PIECE) {
    for (int k = 0; k < GROUND_DIVISIONS; k += LARGEST_PIECE) decide(i, k, LARGEST_PIECE);
  }
}

void appendGroundPieces(const GroundPlan& plan, std::vector<GroundVertex>& triangles) {
  for (int ti = 0; ti < GROUND_TILES; ++ti) {
    for (int tk = 0; tk < GROUND_TILES; ++tk) {
      const int size = plan.pieceSize[ti][tk];
      const int i0 = ti * GROUND_TILE, k0 = tk * GROUND_TILE;
      // A piece is appended once, from its first tile.
      if (size >= GROUND_TILE && i0 % size == 0 && k0 % size == 0) {
        appendPiece(plan, i0, k0, size, triangles);
      }
    }
  }
}

void groundCellTiles(const GroundPlan& plan, GroundTileMask& tiles) {
  for (int ti = 0; ti < GROUND_TILES; ++ti) {
    for (int tk = 0; tk < GROUND_TILES; ++tk) tiles.on[ti][tk] = plan.pieceSize[ti][tk] == 1;
  }
}
