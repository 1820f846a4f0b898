// Where the ground can be drawn coarse. Each tile is drawn as part of a
// larger piece, as a piece of its own, or cell by cell: a piece only where a
// fan or two triangles light and texture it as its cells do (the words are
// those of object_drawing.h).
#pragma once

#include <array>
#include <vector>

#include "scene/culling/culling_math.h"
#include "scene/culling/ground_cull.h"
#include "scene/culling/ground_grid.h"
#include "scene/culling/ground_lighting.h"

// Largest difference, per colour channel, between a piece's interpolated
// lighting and the cells' own vertex lighting at the points the planner
// samples: one level of eight bits.
constexpr double PIECE_LIGHT_TOLERANCE = 1.0 / 255;

// How a piece's triangles run: round its centre, or as two triangles split
// along the diagonal from its (low x, low z) corner (rising) or the other one.
enum class PieceShape : unsigned char { None, Fan, Rising, Falling };

// The side, in cells, of the piece each tile is drawn in this frame: a square's
// size, 1 (the tile's cells one by one) or 0 (nothing of it can show); and
// at a piece's first tile, the shapes its light allows.
struct GroundPlan {
  unsigned short pieceSize[GROUND_TILES][GROUND_TILES];
  PieceShape shape[GROUND_TILES][GROUND_TILES];
};

// The tiles a plan leaves to be drawn cell by cell.
void groundCellTiles(const GroundPlan& plan, GroundTileMask& tiles);

// Plans the ground's pieces and lays out their triangles. It keeps the
// lighting of the grid points it has worked out in a frame and the buffers
// of its fans, so that no frame allocates: one planner serves frame after frame.
class GroundPlanner {
 public:
  // Decides every tile, largest square first. A square becomes a piece when
  // the vertex lighting interpolated over it stays within
  // PIECE_LIGHT_TOLERANCE of what the cells' own vertices get, at every grid
  // point of a tile or a lattice of a larger square's grid points and at the
  // points where the lighting peaks, and when no spot light's cone edge crosses it.
  void plan(const GroundLighting& lighting, const GroundVisibility& visibility, GroundPlan& plan);

  // Appends every piece of the plan as triangles: two, where its light allows
  // and nothing smaller lies along its edges; otherwise a fan round the
  // piece's centre. Along an edge that a smaller piece or cells lie beside,
  // every corner of theirs is a corner of the fan too, so that they meet
  // without cracks. Texture coordinates run across the piece (s falling by 1
  // per column, t rising by 1 per row): with s repeating and t mirrored,
  // every cell shows the ground's picture as the cells do.
  void appendPieces(const GroundPlan& plan, std::vector<GroundVertex>& triangles);

  // Where a spot cone lies against a rectangle of cells.
  enum class ConeSide { Inside, Outside, Across };

  // A spot light's cone in eye space, with its cut-off widened and narrowed
  // by a margin, as cosines and sines worked out once per plan.
  struct SpotCone {
    Vec3 apex;
    Vec3 axis;        // unit length
    double cosInner;  // cos(cut-off - margin): inside by the margin
    double cosOuter;  // cos(cut-off + margin)
    double sinOuter;  // sin(cut-off + margin)
    bool convex;      // the cut-off is under 90 degrees
  };

  // Points where the lighting peaks, in the ground's space (x, z): under each
  // positional light, where a spot's axis meets the ground, and where a
  // directional light's highlight is seen from the eye.
  struct Peaks {
    std::array<double, 2> points[2 * GroundLighting::MAX_LIGHTS];
    int count = 0;
  };

 private:
  // The lighting at grid points, each worked out when first asked for in a plan.
  class GridShades {
   public:
    void start(const GroundLighting& lighting);
    Rgb at(int i, int k);

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

  // One plan's inputs, set by plan() for the squares it decides.
  const GroundLighting* lighting_ = nullptr;
  const GroundVisibility* visibility_ = nullptr;
  GroundPlan* plan_ = nullptr;
  bool eyeKnown_ = false;  // the modelview can be inverted
  GridShades shades_;
  SpotCone cones_[GroundLighting::MAX_LIGHTS];
  int coneCount_ = 0;
  Peaks peaks_;
  // A piece's outline, once round: at most every grid point of its four sides.
  std::array<GroundVertex, 4 * GROUND_LARGEST_SQUARE> outline_;

  void decideSquare(int i0, int k0, int size);
  PieceShape pieceShape(int i0, int k0, int size);
  bool crossesAConeEdge(int i0, int k0, int size) const;
  void appendPiece(const GroundPlan& plan, int i0, int k0, int size, std::vector<GroundVertex>& triangles);
};
