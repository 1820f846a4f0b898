// The ground cells that can show under one view: the grid projected once per
// drawing pass, the tiles that can show found square by square, and the runs
// of each column's cells that can show.
#pragma once

#include <GL/gl.h>

#include <array>
#include <vector>

#include "scene/culling/ground_grid.h"
#include "scene/culling/view_cull.h"

// Which rectangles of cells can show: the view's answer (GroundProjection),
// or whatever a caller of the planner puts in its place.
class GroundVisibility {
 public:
  virtual ~GroundVisibility() = default;
  // Whether the cells [i0, i1) x [k0, k1) can show at all.
  virtual bool cellsCanShow(int i0, int i1, int k0, int k1) const = 0;
  // Whether the pipeline may clip the cells against the near or far plane.
  // It cuts a piece's long triangles elsewhere than the cells' own, a pixel
  // either way along the cut, so such squares are never pieces.
  virtual bool cellsMayBeCutInDepth(int i0, int i1, int k0, int k1) const = 0;
};

// The grid's points under one view. Grid point (column edge i, row edge k)
// has the clip coordinates columnPart[i] + rowPart[k], so a pass projects
// 2 x 501 edges instead of 501 x 501 points.
class GroundProjection : public GroundVisibility {
 public:
  // Projects the grid under `view`, for every question below until the next call.
  void project(const ViewCull& view);

  const ViewCull& view() const { return view_; }

  ClipPoint clipPoint(int i, int k) const {
    const std::array<double, 4>& c = columnPart_[i];
    const std::array<double, 4>& r = rowPart_[k];
    return {c[0] + r[0], c[1] + r[1], c[2] + r[2], c[3] + r[3]};
  }

  ViewFootprint point(int i, int k) const { return footprint(view_, clipPoint(i, k)); }

  // A flat rectangle of cells is decided by its four corners: the clip test
  // and, when rendering, the pixel-centre test of its window box.
  bool cellsCanShow(int i0, int i1, int k0, int k1) const override;

  // A corner not clearly inside the near or far plane: a flat rectangle lies
  // clearly inside both when its four corners do.
  bool cellsMayBeCutInDepth(int i0, int i1, int k0, int k1) const override;

 private:
  ViewCull view_{};
  std::array<std::array<double, 4>, GROUND_DIVISIONS + 1> columnPart_{};
  std::array<std::array<double, 4>, GROUND_DIVISIONS + 1> rowPart_{};
};

// Marks the tiles that can show, testing the largest squares first and
// splitting only those that can, so that a small view volume (a pick's)
// costs a few tests.
void findShowingGroundTiles(const GroundProjection& grid, GroundTileMask& tiles);

// Quad-strip runs into groundVertices(): run r is the vertices
// [first[r], first[r] + count[r]) of column column[r], in the grid's own
// column and row order. Kept from pass to pass: clearing keeps the storage.
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

// Finds, within the tiles marked in a mask, the cells that can show (by the
// same test, each grid point projected once per column edge) and joins
// neighbours in a column into runs. Holds the footprints of two column edges
// between calls, so that no pass allocates them.
class GroundRunFinder {
 public:
  void find(const GroundProjection& grid, const GroundTileMask& tiles, GroundRuns& runs);

 private:
  // Cell rows [from, to) of the marked tiles of one tile column, neighbours joined.
  int rowRanges_[GROUND_TILES][2];
  int rangeCount_ = 0;
  ViewFootprint points_[GROUND_DIVISIONS + 1];
  // A column edge's sides of cells: side k joins points k and k + 1.
  ViewFootprint sides_[2][GROUND_DIVISIONS];

  void markedRowRanges(const GroundTileMask& tiles, int tileColumn);
  void projectEdge(const GroundProjection& grid, int edge, ViewFootprint* sides);
  void addColumnRuns(int column, const ViewFootprint* left, const ViewFootprint* right, GroundRuns& runs) const;
};

// The corners of a column's whole strip (indices into groundVertices()) that
// may lie outside the view volume; returns how many. Every clip test is a
// linear half-space, so if any vertex of the column is caught by one, one of
// these corners is too.
int columnCornersThatMayClip(const ViewCull& view, int column, GLint corners[4]);
