// Where the ground can be drawn coarse. Each tile of 4 x 4 cells is drawn as
// part of its whole block, as a piece of its own, or cell by cell: a piece
// only where a fan of big triangles lights and textures it as its cells do.
#pragma once

#include <functional>
#include <vector>

#include "scene/culling/ground_grid.h"
#include "scene/culling/ground_cull.h"

struct GroundLighting;

// Pieces are squares of 100, 20 or 4 cells a side, each aligned to its size:
// fifths of a side down to a tile. Larger ones would seldom pass the light's
// test and their long triangles interpolate texture coordinates less exactly.
constexpr int LARGEST_PIECE = 100;
constexpr int PIECE_SPLIT = 5;

// How a piece's triangles run: round its centre, or as two triangles split
// along the diagonal from its (low x, low z) corner (rising) or the other one.
enum class PieceShape : unsigned char { None, Fan, Rising, Falling };

// The side, in cells, of the piece each tile is drawn in this frame: a piece
// size, 1 (the tile's cells one by one) or 0 (nothing of it can show); and
// at a piece's first tile, the shapes its light allows.
struct GroundPlan {
  unsigned short pieceSize[GROUND_TILES][GROUND_TILES];
  PieceShape shape[GROUND_TILES][GROUND_TILES];
};

// Whether the cells [i0, i1) x [k0, k1) can show at all.
using GroundCellsTest = std::function<bool(int i0, int i1, int k0, int k1)>;

// Decides every tile, coarsest piece first. A piece is taken when the vertex
// lighting interpolated over its fan stays within one level of what the
// cells' own vertices get, at every grid point of a tile or a lattice of a
// larger piece's grid points and at the points where the lighting peaks,
// and when no spot light's cone edge crosses it.
void planGround(const GroundLighting& lighting, const GroundCellsTest& canShow, GroundPlan& plan);

// Appends every piece of the plan as triangles: two, where its light allows
// and nothing smaller lies along its edges; otherwise a fan round the piece's
// centre. Along an edge that a smaller piece or cells lie beside, every corner
// of theirs is a corner of the fan too, so that they meet without cracks.
// Texture coordinates run across the piece (s falling by 1 per column, t
// rising by 1 per row): with s repeating and t mirrored, every cell shows the
// tile as the cells do.
void appendGroundPieces(const GroundPlan& plan, std::vector<GroundVertex>& triangles);

// The tiles the plan leaves to be drawn cell by cell.
void groundCellTiles(const GroundPlan& plan, GroundTileMask& tiles);
