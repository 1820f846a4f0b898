// Finding the ground cells that can show: pieces of cells first, then the
// cells of the pieces that survive, each grid point projected once per column edge.
#include "scene/culling/ground_cull.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "scene/culling/ground_grid.h"
#include "scene/culling/view_cull.h"

namespace {

static_assert(GROUND_TILES * GROUND_TILE == GROUND_DIVISIONS, "tiles cover the grid");

// Floor and ceiling of values well inside the int range, without a library call.
int floorToInt(double v) {
  const int i = static_cast<int>(v);
  return i > v ? i - 1 : i;
}
int ceilToInt(double v) {
  const int i = static_cast<int>(v);
  return i < v ? i + 1 : i;
}

// One projected grid point, or the pair of neighbouring points on a column
// edge that bound one cell's side. The pixel-centre columns a box through the
// points could reach, clamped to the viewport, run from loX to hiX (rows: loY
// to hiY); boxes of several points hold a centre when the largest hi is at
// least the smallest lo. A point that decides nothing (near or behind the eye,
// far out, NaN, or not rendering) spans everything.
struct GridPoint {
  int outcode;  // one bit per clip plane the point is clearly beyond
  int loX, hiX, loY, hiY;
};

constexpr int SPAN_ALL_LO = -(1 << 30);
constexpr int SPAN_ALL_HI = 1 << 30;

GridPoint joined(const GridPoint& a, const GridPoint& b) {
  return {a.outcode & b.outcode, std::min(a.loX, b.loX), std::max(a.hiX, b.hiX), std::min(a.loY, b.loY),
          std::max(a.hiY, b.hiY)};
}

// Whether a convex piece spanned by the points behind `p` can show: it reaches
// into the view volume and, when rendering, its window box holds a pixel centre.
bool shows(const GridPoint& p) { return p.outcode == 0 && p.hiX >= p.loX && p.hiY >= p.loY; }

// Per-frame inputs of the projection of grid point (column edge i, row edge k):
// its clip coordinates are columnPart[i] + rowPart[k].
struct GridProjection {
  const ViewCull* view;
  int firstX, lastX, firstY, lastY;  // pixel centres of the viewport
  std::array<std::array<double, 4>, GROUND_DIVISIONS + 1> columnPart;
  std::array<std::array<double, 4>, GROUND_DIVISIONS + 1> rowPart;

  GridPoint project(int i, int k) const {
    const std::array<double, 4>& c = columnPart[i];
    const std::array<double, 4>& r = rowPart[k];
    const double x = c[0] + r[0], y = c[1] + r[1], z = c[2] + r[2], w = c[3] + r[3];
    GridPoint p{0, SPAN_ALL_LO, SPAN_ALL_HI, SPAN_ALL_LO, SPAN_ALL_HI};
    if (std::isnan(x) || std::isnan(y) || std::isnan(z) || std::isnan(w)) return p;
    const double aw = std::fabs(w);
    const double mx = CLIP_MARGIN * (std::fabs(x) + aw);
    const double my = CLIP_MARGIN * (std::fabs(y) + aw);
    const double mz = CLIP_MARGIN * (std::fabs(z) + aw);
    p.outcode = (x > w + mx) | (x < -w - mx) << 1 | (y > w + my) << 2 | (y < -w - my) << 3 | (z > w + mz) << 4 |
                (z < -w - mz) << 5;
    if (!view->pixelTest || !(w >= NEAR_KEEP_W)) return p;
    const double* vp = view->viewport;
    const double wx = vp[0] + (x / w + 1) * (vp[2] / 2);
    const double wy = vp[1] + (y / w + 1) * (vp[3] / 2);
    if (!(std::fabs(wx) < FAR_OUT_PIXELS && std::fabs(wy) < FAR_OUT_PIXELS)) return p;
    p.loX = std::max(ceilToInt(wx - PIXEL_MARGIN - 0.5), firstX);
    p.hiX = std::min(floorToInt(wx + PIXEL_MARGIN - 0.5), lastX);
    p.loY = std::max(ceilToInt(wy - PIXEL_MARGIN - 0.5), firstY);
    p.hiY = std::min(floorToInt(wy + PIXEL_MARGIN - 0.5), lastY);
    return p;
  }
};

GridProjection grid;
ViewCull gridView;

}  // namespace

void projectGroundGrid(const ViewCull& view) {
  gridView = view;
  grid.view = &gridView;
  grid.firstX = static_cast<int>(view.viewport[0]);
  grid.lastX = static_cast<int>(view.viewport[0] + view.viewport[2]) - 1;
  grid.firstY = static_cast<int>(view.viewport[1]);
  grid.lastY = static_cast<int>(view.viewport[1] + view.viewport[3]) - 1;
  const std::vector<float>& edges = groundEdges();
  const double* m = view.matrix;
  for (int e = 0; e <= GROUND_DIVISIONS; ++e) {
    const double v = edges[e];
    grid.columnPart[e] = {m[0] * v, m[1] * v, m[2] * v, m[3] * v};
    grid.rowPart[e] = {m[8] * v + m[12], m[9] * v + m[13], m[10] * v + m[14], m[11] * v + m[15]};
  }
}

bool groundCellsCanShow(int i0, int i1, int k0, int k1) {
  return shows(joined(joined(grid.project(i0, k0), grid.project(i1, k0)),
                      joined(grid.project(i0, k1), grid.project(i1, k1))));
}

void findShowingGroundTiles(GroundTileMask& tiles) {
  constexpr int SQUARE = 100, SPLIT = 5;
  const auto mark = [&](auto&& self, int i0, int k0, int size) -> void {
    const bool shows = groundCellsCanShow(i0, i0 + size, k0, k0 + size);
    if (size == GROUND_TILE || !shows) {
      for (int ti = i0 / GROUND_TILE; ti < (i0 + size) / GROUND_TILE; ++ti) {
        for (int tk = k0 / GROUND_TILE; tk < (k0 + size) / GROUND_TILE; ++tk) tiles.on[ti][tk] = shows;
      }
      return;
    }
    for (int a = 0; a < SPLIT; ++a) {
      for (int b = 0; b < SPLIT; ++b) self(self, i0 + a * size / SPLIT, k0 + b * size / SPLIT, size / SPLIT);
    }
  };
  for (int i = 0; i < GROUND_DIVISIONS; i += SQUARE) {
    for (int k = 0; k < GROUND_DIVISIONS; k += SQUARE) mark(mark, i, k, SQUARE);
  }
}

void findShowingGroundRuns(const GroundTileMask& tiles, GroundRuns& runs) {
  runs.clear();
  // Column by column; within a tile column a column's right edge is the next
  // column's left edge. A column edge's points, and its sides of cells: side k
  // joins points k and k + 1.
  static GridPoint points[GROUND_DIVISIONS + 1];
  static GridPoint sidesA[GROUND_DIVISIONS], sidesB[GROUND_DIVISIONS];
  GridPoint* left = sidesA;
  GridPoint* right = sidesB;
  const auto projectEdge = [&](int i, const int (*ranges)[2], int rangeCount, GridPoint* sides) {
    for (int r = 0; r < rangeCount; ++r) {
      for (int k = ranges[r][0]; k <= ranges[r][1]; ++k) points[k] = grid.project(i, k);
      for (int k = ranges[r][0]; k < ranges[r][1]; ++k) sides[k] = joined(points[k], points[k + 1]);
    }
  };
  for (int ti = 0; ti < GROUND_TILES; ++ti) {
    int rowRanges[GROUND_TILES][2];  // cell rows [from, to) of runs of marked tiles
    int rangeCount = 0;
    for (int tk = 0; tk < GROUND_TILES; ++tk) {
      if (!tiles.on[ti][tk]) continue;
      if (rangeCount > 0 && rowRanges[rangeCount - 1][1] == tk * GROUND_TILE) {
        rowRanges[rangeCount - 1][1] += GROUND_TILE;
      } else {
        rowRanges[rangeCount][0] = tk * GROUND_TILE;
        rowRanges[rangeCount][1] = tk * GROUND_TILE + GROUND_TILE;
        ++rangeCount;
      }
    }
    if (rangeCount == 0) continue;
    const int i0 = ti * GROUND_TILE;
    projectEdge(i0, rowRanges, rangeCount, left);
    for (int i = i0; i < i0 + GROUND_TILE; ++i) {
      projectEdge(i + 1, rowRanges, rangeCount, right);
      // Cell (i, k) is the quad strip's vertices 2k .. 2k + 3 of column i.
      const GLint columnStart = i * GROUND_STRIP_VERTICES;
      int runStart = -1, runEnd = -1;  // cells [runStart, runEnd) of column i
      for (int r = 0; r < rangeCount; ++r) {
        for (int k = rowRanges[r][0]; k < rowRanges[r][1]; ++k) {
          if (!shows(joined(left[k], right[k]))) continue;
          if (runStart >= 0 && k == runEnd) {
            ++runEnd;
            continue;
          }
          if (runStart >= 0) runs.add(i, columnStart + 2 * runStart, 2 * (runEnd - runStart) + 2);
          runStart = k;
          runEnd = k + 1;
        }
      }
      if (runStart >= 0) runs.add(i, columnStart + 2 * runStart, 2 * (runEnd - runStart) + 2);
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
    const ClipPoint p = view.toClip(xs[c], 0, zs[c]);
    // Inside every plane of the viewport's volume by a clear margin: no clip test can catch it.
    const double m = CLIP_MARGIN * (std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z) + std::fabs(p.w)) + 1e-12;
    const bool inside = p.x <= p.w - m && p.x >= -p.w + m && p.y <= p.w - m && p.y >= -p.w + m && p.z <= p.w - m &&
                        p.z >= -p.w + m;
    if (!inside) corners[count++] = indices[c];
  }
  return count;
}
