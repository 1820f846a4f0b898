// Finding the ground cells that can show: blocks of cells first, then the
// cells of the blocks that survive, each grid point projected once per column edge.
#include "scene/ground_cull.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "scene/ground.h"
#include "scene/view_cull.h"

namespace {

constexpr int BLOCK = 20;  // cells per block side; 500 / 20 = 25 blocks per side
constexpr int BLOCKS = GROUND_DIVISIONS / BLOCK;

static_assert(BLOCKS * BLOCK == GROUND_DIVISIONS, "blocks tile the grid");

// Same margins and limits as the generic tests in view_cull.cpp.
constexpr double CLIP_MARGIN = 1e-5;
constexpr double PIXEL_MARGIN = 0.02;
constexpr double NEAR_KEEP_W = 0.5;
constexpr double FAR_OUT_PIXELS = 1 << 20;

// Floor and ceiling of values well inside the int range, without a library call.
int floorToInt(double v) {
  const int i = static_cast<int>(v);
  return i > v ? i - 1 : i;
}
int ceilToInt(double v) {
  const int i = static_cast<int>(v);
  return i < v ? i + 1 : i;
}

// One projected grid point. The pixel-centre columns a box through this point
// could reach start at loX and end at hiX (same for rows); a box of several
// points contains a centre when the largest hi is at least the smallest lo.
struct GridPoint {
  int outcode;    // one bit per clip plane the point is clearly beyond
  bool keep;      // near or behind the eye, far out, or NaN: decides nothing
  int loX, hiX, loY, hiY;
};

// Per-frame inputs of the projection of grid point (column edge i, row edge k):
// its clip coordinates are columnPart[i] + rowPart[k].
struct GridProjection {
  const ViewCull* view;
  std::array<std::array<double, 4>, GROUND_DIVISIONS + 1> columnPart;
  std::array<std::array<double, 4>, GROUND_DIVISIONS + 1> rowPart;

  GridPoint project(int i, int k) const {
    const std::array<double, 4>& c = columnPart[i];
    const std::array<double, 4>& r = rowPart[k];
    const double x = c[0] + r[0], y = c[1] + r[1], z = c[2] + r[2], w = c[3] + r[3];
    GridPoint p{};
    if (std::isnan(x) || std::isnan(y) || std::isnan(z) || std::isnan(w)) {
      p.keep = true;
      return p;
    }
    const double mx = CLIP_MARGIN * (std::fabs(x) + std::fabs(w));
    const double my = CLIP_MARGIN * (std::fabs(y) + std::fabs(w));
    const double mz = CLIP_MARGIN * (std::fabs(z) + std::fabs(w));
    p.outcode = (x > w + mx) | (x < -w - mx) << 1 | (y > w + my) << 2 | (y < -w - my) << 3 | (z > w + mz) << 4 |
                (z < -w - mz) << 5;
    if (!view->pixelTest || !(w >= NEAR_KEEP_W)) {
      p.keep = true;
      return p;
    }
    const double* vp = view->viewport;
    const double wx = vp[0] + (x / w + 1) * (vp[2] / 2);
    const double wy = vp[1] + (y / w + 1) * (vp[3] / 2);
    if (!(std::fabs(wx) < FAR_OUT_PIXELS && std::fabs(wy) < FAR_OUT_PIXELS)) {
      p.keep = true;
      return p;
    }
    p.loX = ceilToInt(wx - PIXEL_MARGIN - 0.5);
    p.hiX = floorToInt(wx + PIXEL_MARGIN - 0.5);
    p.loY = ceilToInt(wy - PIXEL_MARGIN - 0.5);
    p.hiY = floorToInt(wy + PIXEL_MARGIN - 0.5);
    return p;
  }
};

// Whether the convex quad through four grid points can show: it reaches into
// the view volume and, when rendering, its window box holds a pixel centre.
bool quadShows(const ViewCull& view, const GridPoint& a, const GridPoint& b, const GridPoint& c, const GridPoint& d) {
  if (a.outcode & b.outcode & c.outcode & d.outcode) return false;
  if (a.keep || b.keep || c.keep || d.keep) return true;
  const int firstX = std::max(std::min({a.loX, b.loX, c.loX, d.loX}), static_cast<int>(view.viewport[0]));
  const int lastX =
      std::min(std::max({a.hiX, b.hiX, c.hiX, d.hiX}), static_cast<int>(view.viewport[0] + view.viewport[2]) - 1);
  if (firstX > lastX) return false;
  const int firstY = std::max(std::min({a.loY, b.loY, c.loY, d.loY}), static_cast<int>(view.viewport[1]));
  const int lastY =
      std::min(std::max({a.hiY, b.hiY, c.hiY, d.hiY}), static_cast<int>(view.viewport[1] + view.viewport[3]) - 1);
  return firstY <= lastY;
}

}  // namespace

void findShowingGroundRuns(const ViewCull& view, GroundRuns& runs) {
  runs.clear();
  static GridProjection grid;
  grid.view = &view;
  const std::vector<float>& edges = groundEdges();
  const double* m = view.matrix;
  for (int e = 0; e <= GROUND_DIVISIONS; ++e) {
    const double v = edges[e];
    grid.columnPart[e] = {m[0] * v, m[1] * v, m[2] * v, m[3] * v};
    grid.rowPart[e] = {m[8] * v + m[12], m[9] * v + m[13], m[10] * v + m[14], m[11] * v + m[15]};
  }

  // ---- Blocks: a block is flat and convex, so its four corners decide for all its cells.
  static bool blockShows[BLOCKS][BLOCKS];
  for (int bi = 0; bi < BLOCKS; ++bi) {
    for (int bk = 0; bk < BLOCKS; ++bk) {
      const int i0 = bi * BLOCK, i1 = i0 + BLOCK, k0 = bk * BLOCK, k1 = k0 + BLOCK;
      blockShows[bi][bk] = quadShows(view, grid.project(i0, k0), grid.project(i1, k0), grid.project(i0, k1),
                                     grid.project(i1, k1));
    }
  }

  // ---- Cells of the surviving blocks, column by column; a column's right edge
  // is the next column's left edge.
  static GridPoint edgeA[GROUND_DIVISIONS + 1], edgeB[GROUND_DIVISIONS + 1];
  GridPoint* left = edgeA;
  GridPoint* right = edgeB;
  for (int bi = 0; bi < BLOCKS; ++bi) {
    int rowRanges[BLOCKS][2];  // cell rows [from, to) of runs of surviving blocks
    int rangeCount = 0;
    for (int bk = 0; bk < BLOCKS; ++bk) {
      if (!blockShows[bi][bk]) continue;
      if (rangeCount > 0 && rowRanges[rangeCount - 1][1] == bk * BLOCK) {
        rowRanges[rangeCount - 1][1] += BLOCK;
      } else {
        rowRanges[rangeCount][0] = bk * BLOCK;
        rowRanges[rangeCount][1] = bk * BLOCK + BLOCK;
        ++rangeCount;
      }
    }
    if (rangeCount == 0) continue;
    const int i0 = bi * BLOCK;
    for (int r = 0; r < rangeCount; ++r) {
      for (int k = rowRanges[r][0]; k <= rowRanges[r][1]; ++k) left[k] = grid.project(i0, k);
    }
    for (int i = i0; i < i0 + BLOCK; ++i) {
      for (int r = 0; r < rangeCount; ++r) {
        for (int k = rowRanges[r][0]; k <= rowRanges[r][1]; ++k) right[k] = grid.project(i + 1, k);
      }
      // Cell (i, k) is the quad strip's vertices 2k .. 2k + 3 of column i.
      const GLint columnStart = i * GROUND_STRIP_VERTICES;
      int runStart = -1, runEnd = -1;  // cells [runStart, runEnd) of column i
      for (int r = 0; r < rangeCount; ++r) {
        for (int k = rowRanges[r][0]; k < rowRanges[r][1]; ++k) {
          if (!quadShows(view, left[k], right[k], left[k + 1], right[k + 1])) continue;
          if (runStart >= 0 && k == runEnd) {
            ++runEnd;
            continue;
          }
          if (runStart >= 0) {
            runs.add(i, columnStart + 2 * runStart, 2 * (runEnd - runStart) + 2);
          }
          runStart = k;
          runEnd = k + 1;
        }
      }
      if (runStart >= 0) {
        runs.add(i, columnStart + 2 * runStart, 2 * (runEnd - runStart) + 2);
      }
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
