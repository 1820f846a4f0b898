// The ground: a 90 x 90 lit, textured grid at y = 0.
#include "scene/ground.h"

#include <GL/gl.h>

#include <cstddef>

#include "image/scene_textures.h"
#include "scene/draw_path.h"
#include "scene/ground_cull.h"
#include "scene/ground_lighting.h"
#include "scene/ground_pieces.h"
#include "scene/view_cull.h"
#include "scene/materials.h"

namespace {

constexpr float GROUND_STEP = GROUND_SIZE / GROUND_DIVISIONS;

void beginGround() {
  applyMaterial(CHROME_MATERIAL);
  glNormal3f(0, 1, 0);  // once: it holds for every vertex of the flat grid
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, sceneTextures[TEX_SKY_NEG_Y]);
}

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

const std::vector<float>& groundEdges() {
  static const std::vector<float> edges = [] {
    std::vector<float> result;
    result.reserve(GROUND_DIVISIONS + 1);
    float edge = -GROUND_SIZE / 2;
    for (int k = 0; k <= GROUND_DIVISIONS; ++k) {
      result.push_back(edge);
      edge += GROUND_STEP;
    }
    return result;
  }();
  return edges;
}

const std::vector<GroundVertex>& groundVertices() {
  // Each cell shows the whole tile: s falls from 1 to 0 along +x in every cell,
  // and t alternates by row, so neighbouring rows are mirror images.
  static const std::vector<GroundVertex> vertices = [] {
    const std::vector<float>& edges = groundEdges();
    std::vector<GroundVertex> result;
    result.reserve(static_cast<std::size_t>(GROUND_DIVISIONS) * GROUND_STRIP_VERTICES);
    for (int i = 0; i < GROUND_DIVISIONS; ++i) {
      const float left = edges[i];
      const float right = left + GROUND_STEP;
      for (int k = 0; k <= GROUND_DIVISIONS; ++k) {
        const float t = static_cast<float>(k % 2);
        result.push_back({0, t, right, 0, edges[k]});
        result.push_back({1, t, left, 0, edges[k]});
      }
    }
    return result;
  }();
  return vertices;
}

void drawGround() {
  if (drawPath() == DrawPath::Reference) {
    drawGroundImmediate();
    return;
  }
  const ViewCull view = currentViewCull();
  projectGroundGrid(view);
  beginGround();
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
  glDisable(GL_TEXTURE_2D);
}

void drawGroundImmediate() {
  beginGround();
  const std::vector<float>& edges = groundEdges();
  for (int i = 0; i < GROUND_DIVISIONS; ++i) {
    const float left = edges[i];
    const float right = left + GROUND_STEP;
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= GROUND_DIVISIONS; ++k) {
      const float t = static_cast<float>(k % 2);
      glTexCoord2f(0, t);
      glVertex3f(right, 0, edges[k]);
      glTexCoord2f(1, t);
      glVertex3f(left, 0, edges[k]);
    }
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
}
