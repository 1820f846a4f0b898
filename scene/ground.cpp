// The ground: a 90 x 90 lit, textured grid at y = 0.
#include "scene/ground.h"

#include <GL/gl.h>

#include <cstddef>

#include "image/scene_textures.h"
#include "scene/draw_path.h"
#include "scene/ground_cull.h"
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
  static GroundRuns runs;
  findShowingGroundRuns(currentViewCull(), runs);
  beginGround();
  // The cells that can show keep their vertices and their order: shorter
  // strips of the same columns rasterise exactly as the whole strips do.
  const GroundVertex* vertices = groundVertices().data();
  for (std::size_t r = 0; r < runs.first.size(); ++r) {
    const GroundVertex* v = vertices + runs.first[r];
    glBegin(GL_QUAD_STRIP);
    for (GLsizei n = 0; n < runs.count[r]; ++n, ++v) {
      glTexCoord2f(v->s, v->t);
      glVertex3f(v->x, v->y, v->z);
    }
    glEnd();
  }
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
