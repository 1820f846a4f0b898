// The ground cells that can show under the current view, as runs of each
// column's quad strip: the culled ground draws only these.
#pragma once

#include <GL/gl.h>

#include <vector>

struct ViewCull;

// The grid in tiles of 4 x 4 cells, 125 a side: the smallest piece the ground
// is decided in. A flat rectangle of cells is decided by its corners.
constexpr int GROUND_TILE = 4;
constexpr int GROUND_TILES = 125;

// One flag per tile, indexed [tile column][tile row].
struct GroundTileMask {
  bool on[GROUND_TILES][GROUND_TILES];
};

// Quad-strip runs into groundVertices(): run r is the vertices
// [first[r], first[r] + count[r]), in the grid's own column and row order.
struct GroundRuns {
  std::vector<int> column;
  std::vector<GLint> first;
  std::vector<GLsizei> count;
  void clear() {
    column.clear();
    first.clear();
    count.clear();
  }
  void add(int inColumn, GLint from, GLsizei vertices) {
    column.push_back(inColumn);
    first.push_back(from);
    count.push_back(vertices);
  }
};

// Projects the grid under `view` for the two questions below; call it once
// per drawing pass before asking them.
void projectGroundGrid(const ViewCull& view);

// Whether the cells [i0, i1) x [k0, k1) reach into the view volume and, when
// rendering, their window footprint holds a pixel centre. Nothing else can
// give a fragment or a hit.
bool groundCellsCanShow(int i0, int i1, int k0, int k1);

// Marks the tiles that can show, testing squares of 100 and 20 cells first so
// that a small view volume (a pick's) costs a few tests.
void findShowingGroundTiles(GroundTileMask& tiles);

// Within the tiles marked in `tiles`, finds the cells that can show, by the
// same test, and joins neighbours in a column into runs.
void findShowingGroundRuns(const GroundTileMask& tiles, GroundRuns& runs);

// The corners of a column's whole strip (indices into groundVertices()) that
// could lie outside the view volume; returns how many. Every clip test is a
// linear half-space, so if any vertex of the column is caught by one, one of
// these corners is too.
int columnCornersThatMayClip(const ViewCull& view, int column, GLint corners[4]);
