// The culled ground: pieces of the grid and runs of its cells, as vertex arrays.
#include "scene/culling/culled_ground.h"

#include <GL/gl.h>

#include <cstddef>
#include <vector>

#include "scene/culling/ground_cull.h"
#include "scene/culling/ground_lighting.h"
#include "scene/culling/ground_pieces.h"
#include "scene/culling/view_cull.h"
#include "scene/culling/ground_grid.h"

namespace {

// A whole column's strip and the corners in front of it: no culled strip is
// made longer, so that llvmpipe never cuts one where it would not cut the whole.
constexpr std::size_t MAX_STRIP_VERTICES = GROUND_STRIP_VERTICES + 10;

// The showing cells of each column as one quad strip, in the grid's order,
// with the same vertices as the whole strip. Runs are joined by quads of no
// area (each repeats a vertex), which give no fragment.
//
// llvmpipe's vertex pipeline takes one of two routes for a strip, and the
// routes split a quad into the same two triangles but list their corners in
// a different order. That can move a pixel of a sliver seen edge-on. The
// whole strip takes the clipping route when any of its vertices lies outside
// the view volume; the corners that may do so are put at the front of the
// column's strip, in quads of no area, so that the shorter strip takes the
// route the whole one takes.
void drawGroundColumns(const ViewCull& view, const GroundRuns& runs) {
  static std::vector<GroundVertex> stream;
  static std::vector<GLint> columnFirst;
  static std::vector<GLsizei> columnCount;
  stream.clear();
  columnFirst.clear();
  columnCount.clear();
  const GroundVertex* vertices = groundVertices().data();
  const auto pair = [&](GroundVertex v) {  // by value: v may live in the stream itself
    stream.push_back(v);
    stream.push_back(v);
  };
  for (std::size_t r = 0; r < runs.first.size();) {
    const int column = runs.column[r];
    GLint corners[4];
    const int cornerCount = columnCornersThatMayClip(view, column, corners);
    std::size_t start = 0;
    const auto beginStrip = [&](const GroundVertex& first) {
      start = stream.size();
      for (int c = 0; c < cornerCount; ++c) pair(vertices[corners[c]]);
      if (cornerCount > 0) pair(first);
    };
    const auto endStrip = [&] {
      columnFirst.push_back(static_cast<GLint>(start));
      columnCount.push_back(static_cast<GLsizei>(stream.size() - start));
    };
    beginStrip(vertices[runs.first[r]]);
    bool firstRun = true;
    for (; r < runs.first.size() && runs.column[r] == column; ++r) {
      const GroundVertex* run = vertices + runs.first[r];
      if (!firstRun && stream.size() - start + 4 + runs.count[r] > MAX_STRIP_VERTICES) {
        // Too long for one piece of the pipeline's work: a new strip, again
        // led by the corners, so that it too takes the whole column's route.
        endStrip();
        beginStrip(run[0]);
        firstRun = true;
      }
      if (!firstRun) {
        pair(stream.back());
        pair(run[0]);
      }
      stream.insert(stream.end(), run, run + runs.count[r]);
      firstRun = false;
    }
    endStrip();
  }
  glInterleavedArrays(GL_T2F_V3F, 0, stream.data());
  for (std::size_t c = 0; c < columnFirst.size(); ++c) glDrawArrays(GL_QUAD_STRIP, columnFirst[c], columnCount[c]);
}

// A rendered ground: pieces wherever the light allows, as one array of fans,
// and the showing cells of every other tile. A piece's t runs over its rows,
// and a mirrored repeat gives each row the tile the right way round; the
// cells keep the texture's own repeat.
void drawGroundInPieces(const ViewCull& view) {
  static GroundPlan plan;
  static GroundTileMask cellTiles;
  static GroundRuns runs;
  static std::vector<GroundVertex> pieces;
  planGround(readGroundLighting(), groundCellsCanShow, plan);
  groundCellTiles(plan, cellTiles);
  findShowingGroundRuns(cellTiles, runs);
  drawGroundColumns(view, runs);
  pieces.clear();
  appendGroundPieces(plan, pieces);
  if (pieces.empty()) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_MIRRORED_REPEAT);
  glInterleavedArrays(GL_T2F_V3F, 0, pieces.data());
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(pieces.size()));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

}  // namespace

void drawCulledGroundCells() {
  const ViewCull view = currentViewCull();
  projectGroundGrid(view);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  if (view.pixelTest) {
    drawGroundInPieces(view);
  } else {
    // Selection and feedback report every primitive that reaches them, even one
    // of no area, so each run of cells goes alone: the cells and nothing else.
    static GroundTileMask tiles;
    static GroundRuns runs;
    findShowingGroundTiles(tiles);
    findShowingGroundRuns(tiles, runs);
    glInterleavedArrays(GL_T2F_V3F, 0, groundVertices().data());
    for (std::size_t r = 0; r < runs.first.size(); ++r) glDrawArrays(GL_QUAD_STRIP, runs.first[r], runs.count[r]);
  }
  glPopClientAttrib();
}
