// Finding the ground cells that can show: squares of cells first, then the
// cells of the tiles that survive, each grid point projected once per column edge.
#include "scene/culling/ground_cull.h"

#include <algorithm>

void GroundProjection::project(const ViewCull& view) {
  view_ = view;
  const std::vector<float>& edges = groundEdges();
  const double* m = view.matrix;
  for (int e = 0; e <= GROUND_DIVISIONS; ++e) {
    const double v = edges[e];
    columnPart_[e] = {m[0] * v, m[1] * v, m[2] * v, m[3] * v};
    rowPart_[e] = {m[8] * v + m[12], m[9] * v + m[13], m[10] * v + m[14], m[11] * v + m[15]};
  }
}

bool GroundProjection::cellsCanShow(int i0, int i1, int k0, int k1) const {
  return canShow(joined(joined(point(i0, k0), point(i1, k0)), joined(point(i0, k1), point(i1, k1))));
}

bool GroundProjection::cellsMayBeCutInDepth(int i0, int i1, int k0, int k1) const {
  constexpr int DEPTH_PLANES = 16 | 32;
  for (const ClipPoint& p : {clipPoint(i0, k0), clipPoint(i1, k0), clipPoint(i0, k1), clipPoint(i1, k1)}) {
    if ((clipPlanes(p, -1) & DEPTH_PLANES) != 0) return true;
  }
  return false;
}

namespace {

// The square of `size` cells at (i0, k0): its tiles marked as it can show,
// when it is a tile or cannot show; otherwise its parts decide.
void markSquare(const GroundProjection& grid, GroundTileMask& tiles, int i0, int k0, int size) {
  const bool shows = grid.cellsCanShow(i0, i0 + size, k0, k0 + size);
  if (size == GROUND_TILE || !shows) {
    for (int ti = i0 / GROUND_TILE; ti < (i0 + size) / GROUND_TILE; ++ti) {
      for (int tk = k0 / GROUND_TILE; tk < (k0 + size) / GROUND_TILE; ++tk) tiles.on[ti][tk] = shows;
    }
    return;
  }
  const int part = size / GROUND_SQUARE_SPLIT;
  for (int a = 0; a < GROUND_SQUARE_SPLIT; ++a) {
    for (int b = 0; b < GROUND_SQUARE_SPLIT; ++b) markSquare(grid, tiles, i0 + a * part, k0 + b * part, part);
  }
}

}  // namespace

void findShowingGroundTiles(const GroundProjection& grid, GroundTileMask& tiles) {
  for (int i = 0; i < GROUND_DIVISIONS; i += GROUND_LARGEST_SQUARE) {
    for (int k = 0; k < GROUND_DIVISIONS; k += GROUND_LARGEST_SQUARE) {
      markSquare(grid, tiles, i, k, GROUND_LARGEST_SQUARE);
    }
  }
}

void GroundRunFinder::markedRowRanges(const GroundTileMask& tiles, int tileColumn) {
  rangeCount_ = 0;
  for (int tk = 0; tk < GROUND_TILES; ++tk) {
    if (!tiles.on[tileColumn][tk]) continue;
    if (rangeCount_ > 0 && rowRanges_[rangeCount_ - 1][1] == tk * GROUND_TILE) {
      rowRanges_[rangeCount_ - 1][1] += GROUND_TILE;
    } else {
      rowRanges_[rangeCount_][0] = tk * GROUND_TILE;
      rowRanges_[rangeCount_][1] = tk * GROUND_TILE + GROUND_TILE;
      ++rangeCount_;
    }
  }
}

void GroundRunFinder::projectEdge(const GroundProjection& grid, int edge, ViewFootprint* sides) {
  for (int r = 0; r < rangeCount_; ++r) {
    for (int k = rowRanges_[r][0]; k <= rowRanges_[r][1]; ++k) points_[k] = grid.point(edge, k);
    for (int k = rowRanges_[r][0]; k < rowRanges_[r][1]; ++k) sides[k] = joined(points_[k], points_[k + 1]);
  }
}

void GroundRunFinder::addColumnRuns(int column, const ViewFootprint* left, const ViewFootprint* right,
                                    GroundRuns& runs) const {
  // Cell (i, k) is the quad strip's vertices 2k .. 2k + 3 of column i.
  const GLint columnStart = column * GROUND_STRIP_VERTICES;
  int runStart = -1, runEnd = -1;  // cells [runStart, runEnd) of the column
  for (int r = 0; r < rangeCount_; ++r) {
    for (int k = rowRanges_[r][0]; k < rowRanges_[r][1]; ++k) {
      if (!canShow(joined(left[k], right[k]))) continue;
      if (runStart >= 0 && k == runEnd) {
        ++runEnd;
        continue;
      }
      if (runStart >= 0) runs.add(column, columnStart + 2 * runStart, 2 * (runEnd - runStart) + 2);
      runStart = k;
      runEnd = k + 1;
    }
  }
  if (runStart >= 0) runs.add(column, columnStart + 2 * runStart, 2 * (runEnd - runStart) + 2);
}

void GroundRunFinder::find(const GroundProjection& grid, const GroundTileMask& tiles, GroundRuns& runs) {
  runs.clear();
  // Column by column; within a tile column a column's right edge is the next
  // column's left edge, so each edge is projected once.
  for (int ti = 0; ti < GROUND_TILES; ++ti) {
    markedRowRanges(tiles, ti);
    if (rangeCount_ == 0) continue;
    const int i0 = ti * GROUND_TILE;
    ViewFootprint* left = sides_[0];
    ViewFootprint* right = sides_[1];
    projectEdge(grid, i0, left);
    for (int i = i0; i < i0 + GROUND_TILE; ++i) {
      projectEdge(grid, i + 1, right);
      addColumnRuns(i, left, right, runs);
      std::swap(left, right);
    }
  }
}

int columnCornersThatMayClip(const ViewCull& view, int column, GLint corners[4]) {
  const std::vector<float>& edges = groundEdges();
  const GLint start = column * GROUND_STRIP_VERTICES;
  // The strip's first pair and last pair, in its own vertex order.
  const GLint indices[4] = {start, start + 1, start + GROUND_STRIP_VERTICES - 2, start + GROUND_STRIP_VERTICES - 1};
  const double xs[4] = {edges[column + 1], edges[column], edges[column + 1], edges[column]};
  const double zs[4] = {edges[0], edges[0], edges[GROUND_DIVISIONS], edges[GROUND_DIVISIONS]};
  int count = 0;
  for (int c = 0; c < 4; ++c) {
    // Only a corner clearly inside every plane is safe from every clip test.
    if (clipPlanes(view.toClip(xs[c], 0, zs[c]), -1) != 0) corners[count++] = indices[c];
  }
  return count;
}
