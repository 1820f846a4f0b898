// Choosing the ground's pieces, and laying out their triangles.
#include "scene/culling/ground_pieces.h"

#include <algorithm>
#include <cmath>

namespace {

// Margin on the spot cut-off, in radians, far above float rounding in the
// pipeline's cone test.
constexpr double CONE_MARGIN = 1e-3;

// Cone classification splits a square down to this fraction of its side (and
// never below two cells): deeper, a square the light tells apart that finely
// would fail its samples anyway.
constexpr int CONE_TEST_SPLITS = 8;

// Where a spot cone lies against a rectangle of cells.
enum class ConeSide { Inside, Outside, Across };

// A spot light's cone in eye space, with its cut-off widened and narrowed by a
// margin, as cosines and sines worked out once per plan.
struct SpotCone {
  Vec3 apex;
  Vec3 axis;        // unit length
  double cosInner;  // cos(cut-off - margin): inside by the margin
  double cosOuter;  // cos(cut-off + margin)
  double sinOuter;  // sin(cut-off + margin)
  bool convex;      // the cut-off is under 90 degrees
};

// Points where the lighting peaks, in the ground's space (x, z): under each
// positional light, where a spot with an exponent points, and where a
// directional light's highlight is seen from the eye.
struct Peaks {
  std::array<double, 2> points[2 * GroundLighting::MAX_LIGHTS];
  int count = 0;
};

// From eye space back to the ground's space: the modelview inverted.
struct EyeToGround {
  Mat3 inverted{};
  Vec3 translation{};
  bool valid = false;

  explicit EyeToGround(const double* m) {
    valid = inverse(upper3x3(m), inverted);
    translation = {m[12], m[13], m[14]};
  }
  Vec3 direction(const Vec3& v) const { return inverted * v; }
  Vec3 point(const Vec3& p) const { return inverted * (p - translation); }
};

SpotCone coneOf(const GroundLight& light) {
  const double cutoff = light.cutoffDegrees * M_PI / 180;
  return {light.point,
          light.spotDirection,
          std::cos(cutoff - CONE_MARGIN),
          std::cos(cutoff + CONE_MARGIN),
          std::sin(cutoff + CONE_MARGIN),
          cutoff + CONE_MARGIN < M_PI / 2};
}

// Where the rectangle of cells [i0, i1) x [k0, k1) lies against a spot cone.
// Inside needs every corner inside (the cone is convex); outside needs the
// rectangle's bounding sphere to lie off the cone by the margin; otherwise the
// rectangle is split in four, down to `smallest` cells a side.
ConeSide coneSide(const GroundLighting& lighting, const SpotCone& cone, int i0, int i1, int k0, int k1,
                  int smallest) {
  const std::vector<float>& edges = groundEdges();
  const Vec3 corners[4] = {lighting.eyePoint(edges[i0], edges[k0]), lighting.eyePoint(edges[i1], edges[k0]),
                           lighting.eyePoint(edges[i0], edges[k1]), lighting.eyePoint(edges[i1], edges[k1])};
  if (cone.convex) {
    int inside = 0;
    for (const Vec3& c : corners) {
      const Vec3 d = c - cone.apex;
      if (dot(d, cone.axis) >= std::sqrt(dot(d, d)) * cone.cosInner) ++inside;
    }
    if (inside == 4) return ConeSide::Inside;
  }

  const Vec3 centre = 0.5 * (corners[0] + corners[3]);
  double radius2 = 0;
  for (const Vec3& c : corners) {
    const Vec3 d = c - centre;
    radius2 = std::max(radius2, dot(d, d));
  }
  const Vec3 toCentre = centre - cone.apex;
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

// Where the ray from `from` along `along` (ground space) meets the ground
// y = 0 ahead of it; false when it does not.
bool meetsGround(const Vec3& from, const Vec3& along, std::array<double, 2>& at) {
  if (!(from[1] > 0 && along[1] < 0)) return false;
  const double t = -from[1] / along[1];
  at = {from[0] + t * along[0], from[2] + t * along[2]};
  return true;
}

Peaks findPeaks(const GroundLighting& lighting, const EyeToGround& toGround) {
  Peaks peaks;
  if (!toGround.valid) return peaks;
  const Vec3 eye = toGround.point({0, 0, 0});
  for (int i = 0; i < lighting.lightCount; ++i) {
    const GroundLight& light = lighting.lights[i];
    if (light.position[3] != 0) {
      const Vec3 p = toGround.point(light.point);
      peaks.points[peaks.count++] = {p[0], p[2]};
      // A spot with an exponent is brightest along its axis.
      if (light.spot && light.spotExponent > 0 &&
          meetsGround(p, toGround.direction(light.spotDirection), peaks.points[peaks.count])) {
        ++peaks.count;
      }
    } else if (light.hasSpecular) {
      // The highlight is where the direction to the eye mirrors the light's:
      // seen from the eye's mirror image below the ground, straight towards the light.
      const Vec3 l = normalized(toGround.direction({light.position[0], light.position[1], light.position[2]}));
      if (l[1] <= 0 || eye[1] <= 0) continue;
      const double t = eye[1] / l[1];
      peaks.points[peaks.count++] = {eye[0] + t * l[0], eye[2] + t * l[2]};
    }
  }
  return peaks;
}

// A piece's lighting as its triangles interpolate it: the colours at its
// corners and its centre, and the interpolation at grid point (i, k).
struct PieceLight {
  int i0, k0, size;
  Rgb c00, c10, c01, c11, centre;

  // Over the fan, at piece-local (u, v) in [0, 1]^2 (u along columns, v along
  // rows): the triangle of the edge the point faces.
  Rgb fanValue(double u, double v) const {
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
    // Barycentric weights: the centre's falls from 1 there to 0 on the edge;
    // the rest goes to the edge's ends by where the point lies along it.
    const double wb = along - 0.5 * (1 - depth);
    const double wa = depth - wb;
    Rgb out;
    for (int c = 0; c < 3; ++c) out[c] = (1 - depth) * centre[c] + wa * (*a)[c] + wb * (*b)[c];
    return out;
  }

  // Over the two triangles split along the diagonal from c00 to c11 (rising)
  // or from c10 to c01.
  Rgb splitValue(bool rising, double u, double v) const {
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

  Rgb value(PieceShape shape, int i, int k) const {
    const double u = static_cast<double>(i - i0) / size, v = static_cast<double>(k - k0) / size;
    return shape == PieceShape::Fan ? fanValue(u, v) : splitValue(shape == PieceShape::Rising, u, v);
  }
};

bool withinTolerance(const Rgb& a, const Rgb& b) {
  for (int c = 0; c < 3; ++c) {
    if (std::fabs(a[c] - b[c]) > PIECE_LIGHT_TOLERANCE) return false;
  }
  return true;
}

void setPiece(GroundPlan& plan, int i0, int k0, int size, unsigned short pieceSize, PieceShape shape) {
  const int ti0 = i0 / GROUND_TILE, tk0 = k0 / GROUND_TILE, tiles = size / GROUND_TILE;
  for (int ti = ti0; ti < ti0 + tiles; ++ti) {
    for (int tk = tk0; tk < tk0 + tiles; ++tk) plan.pieceSize[ti][tk] = pieceSize;
  }
  plan.shape[ti0][tk0] = shape;
}

// The side of the piece that holds cell (i, k), 1 for cells drawn one by one,
// or 0 when nothing is drawn there (or it lies off the grid).
int pieceSizeAt(const GroundPlan& plan, int i, int k) {
  if (i < 0 || k < 0 || i >= GROUND_DIVISIONS || k >= GROUND_DIVISIONS) return 0;
  return plan.pieceSize[i / GROUND_TILE][k / GROUND_TILE];
}

// Whether a point inside an edge of a piece of `size` cells is a corner: a
// smaller piece or a cell across the edge starts or ends there (pieces are
// aligned to their size). (i, k) is the cell across that starts at the point,
// (bi, bk) the one across that ends there, `along` the point's place along the edge.
bool cornerAcross(const GroundPlan& plan, int size, int i, int k, int bi, int bk, int along) {
  const int starting = pieceSizeAt(plan, i, k), ending = pieceSizeAt(plan, bi, bk);
  return (starting != 0 && starting < size && along % starting == 0) ||
         (ending != 0 && ending < size && along % ending == 0);
}

// Grid point (i, k) as a vertex of the piece whose last column edge is i1
// and whose t counts rows from the even row t0, so that the mirroring stays
// in step with the rows.
GroundVertex pieceVertex(int i, int k, int i1, int t0) {
  const std::vector<float>& edges = groundEdges();
  return GroundVertex{static_cast<float>(i1 - i), static_cast<float>(k - t0), edges[i], 0, edges[k]};
}

// The piece's outline once round, into `outline`: the -z edge towards +x, the
// +x edge towards +z, the +z edge towards -x, the -x edge towards -z; its four
// corners and every corner of what lies smaller across its edges. Along the
// grid's own edge, every grid point between cells there that can show is a
// corner too: the ground's outline is then the cells' outline, segment for
// segment, and covers the same pixels. Returns the count.
int pieceOutline(const GroundPlan& plan, const GroundVisibility& visibility, int i0, int k0, int size,
                 GroundVertex* outline) {
  const int i1 = i0 + size, k1 = k0 + size, t0 = k0 - k0 % 2, last = GROUND_DIVISIONS;
  int n = 0;
  for (int i = i0; i < i1; ++i) {
    if (i == i0 || (k0 == 0 ? visibility.cellsCanShow(i - 1, i + 1, 0, 1)
                            : cornerAcross(plan, size, i, k0 - 1, i - 1, k0 - 1, i))) {
      outline[n++] = pieceVertex(i, k0, i1, t0);
    }
  }
  for (int k = k0; k < k1; ++k) {
    if (k == k0 || (i1 == last ? visibility.cellsCanShow(last - 1, last, k - 1, k + 1)
                               : cornerAcross(plan, size, i1, k, i1, k - 1, k))) {
      outline[n++] = pieceVertex(i1, k, i1, t0);
    }
  }
  for (int i = i1; i > i0; --i) {
    if (i == i1 || (k1 == last ? visibility.cellsCanShow(i - 1, i + 1, last - 1, last)
                               : cornerAcross(plan, size, i, k1, i - 1, k1, i))) {
      outline[n++] = pieceVertex(i, k1, i1, t0);
    }
  }
  for (int k = k1; k > k0; --k) {
    if (k == k1 || (i0 == 0 ? visibility.cellsCanShow(0, 1, k - 1, k + 1)
                            : cornerAcross(plan, size, i0 - 1, k, i0 - 1, k - 1, k))) {
      outline[n++] = pieceVertex(i0, k, i1, t0);
    }
  }
  return n;
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

}  // namespace

// One plan's inputs, set by plan() for the squares it decides, and what the
// planner keeps from frame to frame.
struct GroundPlanner::Work {
  const GroundLighting* lighting = nullptr;
  const GroundVisibility* visibility = nullptr;
  GroundPlan* target = nullptr;  // the plan being made
  bool eyeKnown = false;  // the modelview can be inverted
  GridShades shades;
  SpotCone cones[GroundLighting::MAX_LIGHTS];
  int coneCount = 0;
  Peaks peaks;
  // A piece's outline, once round: at most every grid point of its four sides.
  std::array<GroundVertex, 4 * GROUND_LARGEST_SQUARE> outline;

  void decideSquare(int i0, int k0, int size);
  PieceShape pieceShape(int i0, int k0, int size);
  bool crossesAConeEdge(int i0, int k0, int size) const;
  void appendPiece(const GroundPlan& plan, const GroundVisibility& view, int i0, int k0, int size,
                   std::vector<GroundVertex>& triangles);
};

GroundPlanner::GroundPlanner() : work_(std::make_unique<Work>()) {}

GroundPlanner::~GroundPlanner() = default;

void GroundPlanner::plan(const GroundLighting& lighting, const GroundVisibility& visibility, GroundPlan& plan) {
  Work& w = *work_;
  w.lighting = &lighting;
  w.visibility = &visibility;
  w.target = &plan;
  const EyeToGround toGround(lighting.modelview);
  w.eyeKnown = toGround.valid;
  w.peaks = findPeaks(lighting, toGround);
  w.shades.start(lighting);
  w.coneCount = 0;
  for (int l = 0; l < lighting.lightCount; ++l) {
    const GroundLight& light = lighting.lights[l];
    if (light.spot && light.position[3] != 0) w.cones[w.coneCount++] = coneOf(light);
  }
  for (int i = 0; i < GROUND_DIVISIONS; i += GROUND_LARGEST_SQUARE) {
    for (int k = 0; k < GROUND_DIVISIONS; k += GROUND_LARGEST_SQUARE) w.decideSquare(i, k, GROUND_LARGEST_SQUARE);
  }
}

// A square that cannot show is nothing; one whose light allows, and which no
// depth plane may cut, is a piece; a tile that is neither goes cell by cell;
// anything larger asks its parts.
void GroundPlanner::Work::decideSquare(int i0, int k0, int size) {
  if (!visibility->cellsCanShow(i0, i0 + size, k0, k0 + size)) {
    setPiece(*target, i0, k0, size, 0, PieceShape::None);
    return;
  }
  const bool mayBePiece = eyeKnown && !visibility->cellsMayBeCutInDepth(i0, i0 + size, k0, k0 + size);
  const PieceShape shape = mayBePiece ? pieceShape(i0, k0, size) : PieceShape::None;
  if (shape != PieceShape::None) {
    setPiece(*target, i0, k0, size, static_cast<unsigned short>(size), shape);
  } else if (size == GROUND_TILE) {
    setPiece(*target, i0, k0, size, 1, PieceShape::None);
  } else {
    const int part = size / GROUND_SQUARE_SPLIT;
    for (int a = 0; a < GROUND_SQUARE_SPLIT; ++a) {
      for (int b = 0; b < GROUND_SQUARE_SPLIT; ++b) decideSquare(i0 + a * part, k0 + b * part, part);
    }
  }
}

bool GroundPlanner::Work::crossesAConeEdge(int i0, int k0, int size) const {
  const int smallest = std::max(2, size / CONE_TEST_SPLITS);
  for (int c = 0; c < coneCount; ++c) {
    if (coneSide(*lighting, cones[c], i0, i0 + size, k0, k0 + size, smallest) == ConeSide::Across) return true;
  }
  return false;
}

// How the square of `size` cells at (i0, k0) may be drawn so that it lights
// as its cells do: not at all (None), or as a fan round its centre, which
// always serves, or also as two triangles, which serve where no smaller piece
// or cell lies along its edges.
PieceShape GroundPlanner::Work::pieceShape(int i0, int k0, int size) {
  const int i1 = i0 + size, k1 = k0 + size;
  const PieceLight piece{i0,
                         k0,
                         size,
                         shades.at(i0, k0),
                         shades.at(i1, k0),
                         shades.at(i0, k1),
                         shades.at(i1, k1),
                         shades.at(i0 + size / 2, k0 + size / 2)};
  const auto matches = [&](PieceShape shape, int i, int k) {
    return withinTolerance(piece.value(shape, i, k), shades.at(i, k));
  };
  // The four grid points round each peak that falls in the square.
  const std::vector<float>& edges = groundEdges();
  const auto holdsRoundPeaks = [&](PieceShape shape) {
    for (int p = 0; p < peaks.count; ++p) {
      const double x = peaks.points[p][0], z = peaks.points[p][1];
      if (!(x >= edges[i0] && x <= edges[i1] && z >= edges[k0] && z <= edges[k1])) continue;
      const int i = std::clamp(groundCellIndex(x), i0, i1 - 1), k = std::clamp(groundCellIndex(z), k0, k1 - 1);
      if (!matches(shape, i, k) || !matches(shape, i + 1, k) || !matches(shape, i, k + 1) ||
          !matches(shape, i + 1, k + 1)) {
        return false;
      }
    }
    return true;
  };
  // Every grid point of a tile; one per part corner of a larger square. The
  // lattices are each other's points, so a square's samples serve its parts again.
  const int stride = std::max(1, size / GROUND_SQUARE_SPLIT);
  const auto holdsOnLattice = [&](PieceShape shape) {
    for (int i = i0; i <= i1; i += stride) {
      for (int k = k0; k <= k1; k += stride) {
        if (!matches(shape, i, k)) return false;
      }
    }
    return true;
  };
  // Round the peaks is where a square most often fails, so they go first.
  if (!holdsRoundPeaks(PieceShape::Fan) || !holdsOnLattice(PieceShape::Fan)) return PieceShape::None;
  // A cone's edge can pass between the samples: the squares it crosses go too.
  if (crossesAConeEdge(i0, k0, size)) return PieceShape::None;
  // The largest pieces keep their centre: two triangles across 100 cells
  // interpolate texture coordinates too loosely where the ground is seen edge-on.
  if (size == GROUND_LARGEST_SQUARE) return PieceShape::Fan;
  for (const PieceShape split : {PieceShape::Rising, PieceShape::Falling}) {
    if (holdsOnLattice(split) && holdsRoundPeaks(split)) return split;
  }
  return PieceShape::Fan;
}

void GroundPlanner::Work::appendPiece(const GroundPlan& plan, const GroundVisibility& view, int i0, int k0,
                                      int size, std::vector<GroundVertex>& triangles) {
  const int n = pieceOutline(plan, view, i0, k0, size, outline.data());
  const PieceShape shape = plan.shape[i0 / GROUND_TILE][k0 / GROUND_TILE];
  if (n == 4 && shape != PieceShape::Fan) {
    // Corners in outline order: (i0, k0), (i1, k0), (i1, k1), (i0, k1).
    const bool rising = shape == PieceShape::Rising;
    const GroundVertex& a = outline[rising ? 0 : 1];
    const GroundVertex& b = outline[rising ? 1 : 2];
    const GroundVertex& c = outline[rising ? 2 : 3];
    const GroundVertex& d = outline[rising ? 3 : 0];
    for (const GroundVertex* v : {&a, &b, &c, &a, &c, &d}) triangles.push_back(*v);
    return;
  }
  const GroundVertex centre = pieceVertex(i0 + size / 2, k0 + size / 2, i0 + size, k0 - k0 % 2);
  for (int c = 0; c < n; ++c) {
    triangles.push_back(centre);
    triangles.push_back(outline[c]);
    triangles.push_back(outline[(c + 1) % n]);
  }
}

void GroundPlanner::appendPieces(const GroundPlan& plan, const GroundVisibility& visibility,
                                 std::vector<GroundVertex>& triangles) {
  for (int ti = 0; ti < GROUND_TILES; ++ti) {
    for (int tk = 0; tk < GROUND_TILES; ++tk) {
      const int size = plan.pieceSize[ti][tk];
      const int i0 = ti * GROUND_TILE, k0 = tk * GROUND_TILE;
      // A piece is appended once, from its first tile.
      if (size >= GROUND_TILE && i0 % size == 0 && k0 % size == 0) {
        work_->appendPiece(plan, visibility, i0, k0, size, triangles);
      }
    }
  }
}

void groundCellTiles(const GroundPlan& plan, GroundTileMask& tiles) {
  for (int ti = 0; ti < GROUND_TILES; ++ti) {
    for (int tk = 0; tk < GROUND_TILES; ++tk) tiles.on[ti][tk] = plan.pieceSize[ti][tk] == 1;
  }
}
