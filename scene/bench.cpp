// A bench: a wooden seat plank between two concrete supports.
#include "scene/bench.h"

#include <GL/gl.h>

#include "image/scene_textures.h"
#include "scene/materials.h"

namespace {

struct BenchQuad {
  float normal[3];
  float corners[4][3];
};

// Every bench quad shows its texture once, corners in this order.
constexpr float QUAD_TEXCOORDS[4][2] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};

void emitQuad(const BenchQuad& quad) {
  glNormal3fv(quad.normal);
  for (int c = 0; c < 4; ++c) {
    glTexCoord2fv(QUAD_TEXCOORDS[c]);
    glVertex3fv(quad.corners[c]);
  }
}

void beginTextured(int slot, const MaterialPreset& material) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, sceneTextures[slot]);
  applyMaterial(material);
}

}  // namespace

void drawBench() {
  // The bench is drawn scaled; GL_NORMALIZE keeps its lighting normals unit length.
  glEnable(GL_NORMALIZE);
  glPushMatrix();
  glScalef(BENCH_SCALE, BENCH_SCALE, BENCH_SCALE);
  glTranslated(19, 0, 0);
  drawBenchSupport(BENCH_SUPPORT_DEPTH);
  glTranslated(0, 0, BENCH_LENGTH);
  drawBenchSupport(BENCH_SUPPORT_DEPTH);
  // Two support depths back, the seat spans exactly the gap between the supports.
  glTranslated(0, 0, -2 * BENCH_SUPPORT_DEPTH);
  drawBenchSeat(BENCH_LENGTH, BENCH_SUPPORT_DEPTH);
  glPopMatrix();
  glDisable(GL_NORMALIZE);
}

namespace {

void drawBenchObject(const SceneObject&) { drawBench(); }

}  // namespace

// Around both supports and the seat (bench space x 19..24, y 0..12, z -1..15,
// scaled by BENCH_SCALE) with room to spare; a test draws the bench and holds
// every vertex to it.
const SceneObject BENCH_OBJECT = {
    drawBenchObject,
    {{18 * BENCH_SCALE, -1 * BENCH_SCALE, -14 * BENCH_SCALE}, {25 * BENCH_SCALE, 13 * BENCH_SCALE, 17 * BENCH_SCALE}},
    LeaveOut::WHEN_HIDDEN,
    nullptr,
    nullptr,
    0,
    ObjectKind::BENCH};

void drawBenchSupport(float d) {
  beginTextured(TEX_CONCRETE, SILVER_MATERIAL);
  // The foot narrows from 5 wide at y = 0 to 3 at y = 3, where the column
  // starts. The slope normals are left unnormalised; GL_NORMALIZE fixes them.
  const BenchQuad quads[] = {
      {{0, 0, 1}, {{4, 3, 0}, {1, 3, 0}, {0, 0, 0}, {5, 0, 0}}},
      {{0, 0, -1}, {{4, 3, -d}, {1, 3, -d}, {0, 0, -d}, {5, 0, -d}}},
      {{1, 0.3f, 0}, {{4, 3, -d}, {4, 3, 0}, {5, 0, 0}, {5, 0, -d}}},
      {{-1, 0.3f, 0}, {{1, 3, -d}, {0, 0, -d}, {0, 0, 0}, {1, 3, 0}}},
      {{0, 0, 1}, {{4, 12, 0}, {1, 12, 0}, {1, 3, 0}, {4, 3, 0}}},
      {{0, 0, -1}, {{1, 12, -d}, {4, 12, -d}, {4, 3, -d}, {1, 3, -d}}},
      {{0, 1, 0}, {{4, 12, -d}, {1, 12, -d}, {1, 12, 0}, {4, 12, 0}}},
      {{1, 0, 0}, {{4, 12, -d}, {4, 12, 0}, {4, 3, 0}, {4, 3, -d}}},
      {{-1, 0, 0}, {{1, 12, 0}, {1, 12, -d}, {1, 3, -d}, {1, 3, 0}}},
  };
  glBegin(GL_QUADS);
  for (const BenchQuad& quad : quads) emitQuad(quad);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void drawBenchSeat(float length, float front) {
  beginTextured(TEX_WOOD, BRONZE_MATERIAL);
  const float zb = front - (length - front);
  const BenchQuad quads[] = {
      {{0, 0, 1}, {{5, 5, front}, {0, 5, front}, {0, 4, front}, {5, 4, front}}},
      {{0, 0, -1}, {{5, 5, zb}, {0, 5, zb}, {0, 4, zb}, {5, 4, zb}}},
      {{0, 1, 0}, {{5, 5, zb}, {0, 5, zb}, {0, 5, front}, {5, 5, front}}},
      {{1, 0, 0}, {{5, 5, zb}, {5, 5, front}, {5, 4, front}, {5, 4, zb}}},
      {{-1, 0, 0}, {{0, 5, zb}, {0, 4, zb}, {0, 4, front}, {0, 5, front}}},
  };
  for (const BenchQuad& quad : quads) {
    glBegin(GL_QUADS);
    emitQuad(quad);
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
}
