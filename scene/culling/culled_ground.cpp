// The culled ground: pieces of the grid and runs of its cells, as vertex arrays.
#include "scene/culling/culled_ground.h"

#include <cstddef>

#include "scene/culling/ground_lighting.h"
#include "scene/culling/view_cull.h"

namespace {

// A whole column's strip and the corners in front of it: no culled strip is
// made longer, so that llvmpipe never cuts one where it would not cut the whole.
constexpr std::size_t MAX_STRIP_VERTICES = GROUND_STRIP_VERTICES + 10;

}  // namespace

void CulledGround::draw() {
  grid_.project(currentViewCull());
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  if (!grid_.view().pixelTest) {
    drawRunsAlone();
  } else {
    const GroundLighting lighting = readGroundLighting();
    if (lighting.modelled) {
      drawInPieces(lighting);
    } else {
      drawExactCells();
    }
  }
  glPopClientAttrib();
}

// Selection and feedback report every primitive that reaches them, even one
// of no area, so each run of cells goes alone: the cells and nothing else.
void CulledGround::drawRunsAlone() {
  findShowingGroundTiles(grid_, tiles_);
  runFinder_.find(grid_, tiles_, runs_);
  glInterleavedArrays(GL_T2F_V3F, 0, groundVertices().data());
  for (std::size_t r = 0; r < runs_.first.size(); ++r) glDrawArrays(GL_QUAD_STRIP, runs_.first[r], runs_.count[r]);
}

// A rendered ground whose light the planner cannot follow: every cell that
// can show, as the columns' strips.
void CulledGround::drawExactCells() {
  findShowingGroundTiles(grid_, tiles_);
  runFinder_.find(grid_, tiles_, runs_);
  drawColumns();
}

// A rendered ground: pieces wherever the light allows, as one array of
// triangles, and the showing cells of every other tile. A piece's t runs over
// its rows, and a mirrored repeat gives each row the picture the right way
// round; the cells keep the texture's own repeat.
void CulledGround::drawInPieces(const GroundLighting& lighting) {
  planner_.plan(lighting, grid_, plan_);
  groundCellTiles(plan_, tiles_);
  runFinder_.find(grid_, tiles_, runs_);
  drawColumns();
  pieces_.clear();
  planner_.appendPieces(plan_, grid_, pieces_);
  if (pieces_.empty()) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_MIRRORED_REPEAT);
  glInterleavedArrays(GL_T2F_V3F, 0, pieces_.data());
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(pieces_.size()));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

// Twice: a quad of no area, which gives no fragment.
void CulledGround::appendPair(GroundVertex v) {  // by value: v may live in the stream itself
  strips_.push_back(v);
  strips_.push_back(v);
}

void CulledGround::beginStrip(const GLint* corners, int cornerCount, const GroundVertex& first) {
  const GroundVertex* vertices = groundVertices().data();
  for (int c = 0; c < cornerCount; ++c) appendPair(vertices[corners[c]]);
  if (cornerCount > 0) appendPair(first);
}

void CulledGround::endStrip(std::size_t start) {
  stripFirst_.push_back(static_cast<GLint>(start));
  stripCount_.push_back(static_cast<GLsizei>(strips_.size() - start));
}

// The runs of each column as one quad strip, in the grid's order, with the
// same vertices as the whole strip. Runs are joined by quads of no area.
//
// llvmpipe's vertex pipeline takes one of two routes for a strip, and the
// routes split a quad into the same two triangles but list their corners in
// a different order. That can move a pixel of a sliver seen edge-on. The
// whole strip takes the clipping route when any of its vertices lies outside
// the view volume; the corners that may do so are put at the front of the
// column's strip, in quads of no area, so that the shorter strip takes the
// route the whole one takes.
void CulledGround::drawColumns() {
  strips_.clear();
  stripFirst_.clear();
  stripCount_.clear();
  const GroundVertex* vertices = groundVertices().data();
  for (std::size_t r = 0; r < runs_.first.size();) {
    const int column = runs_.column[r];
    GLint corners[4];
    const int cornerCount = columnCornersThatMayClip(grid_.view(), column, corners);
    std::size_t start = strips_.size();
    beginStrip(corners, cornerCount, vertices[runs_.first[r]]);
    bool firstRun = true;
    for (; r < runs_.first.size() && runs_.column[r] == column; ++r) {
      const GroundVertex* run = vertices + runs_.first[r];
      if (!firstRun && strips_.size() - start + 4 + runs_.count[r] > MAX_STRIP_VERTICES) {
        // Too long for one batch of the pipeline's work: a new strip, again
        // led by the corners, so that it too takes the whole column's route.
        endStrip(start);
        start = strips_.size();
        beginStrip(corners, cornerCount, run[0]);
        firstRun = true;
      }
      if (!firstRun) {
        appendPair(strips_.back());
        appendPair(run[0]);
      }
      strips_.insert(strips_.end(), run, run + runs_.count[r]);
      firstRun = false;
    }
    endStrip(start);
  }
  glInterleavedArrays(GL_T2F_V3F, 0, strips_.data());
  for (std::size_t c = 0; c < stripFirst_.size(); ++c) glDrawArrays(GL_QUAD_STRIP, stripFirst_[c], stripCount_[c]);
}
