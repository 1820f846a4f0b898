// Where the ground can be drawn coarse. Each tile is drawn as part of a
// larger piece, as a piece of its own, or cell by cell: a piece only where a
// fan or two triangles light and texture it as its cells do (the words are
// those of object_drawing.h).
#pragma once

#include <memory>
#include <vector>

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

// Plans the ground's pieces and lays out their triangles. It keeps, from
// frame to frame, the lighting of the grid points it works out and the
// buffers of its fans, allocated once with it: no frame allocates.
class GroundPlanner {
 public:
  GroundPlanner();
  ~GroundPlanner();
  GroundPlanner(const GroundPlanner&) = delete;
  GroundPlanner& operator=(const GroundPlanner&) = delete;

  // Decides every tile, largest square first. A square becomes a piece when
  // the vertex lighting interpolated over it stays within
  // PIECE_LIGHT_TOLERANCE of what the cells' own vertices get, at every grid
  // point of a tile or a lattice of a larger square's grid points and at the
  // points where the lighting peaks, when no spot light's cone edge crosses
  // it, and when no depth plane may cut it.
  void plan(const GroundLighting& lighting, const GroundVisibility& visibility, GroundPlan& plan);

  // Appends every piece of the plan as triangles: two, where its light allows
  // and nothing smaller lies along its edges; otherwise a fan round the
  // piece's centre. Along an edge that a smaller piece or cells lie beside,
  // every corner of theirs is a corner of the fan too, so that they meet
  // without cracks; along the grid's own edge, so is every grid point by a
  // cell that can show under `visibility` (the plan's). Texture coordinates
  // run across the piece (s falling by 1 per column, t rising by 1 per row):
  // with s repeating and t mirrored, every cell shows the ground's picture as
  // the cells do.
  void appendPieces(const GroundPlan& plan, const GroundVisibility& visibility, std::vector<GroundVertex>& triangles);

 private:
  struct Work;
  std::unique_ptr<Work> work_;
};
