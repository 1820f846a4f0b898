// The ground: a 90 x 90 lit, textured grid at y = 0.
#include "scene/ground.h"

#include <GL/gl.h>

#include "image/scene_textures.h"
#include "scene/culling/object_drawing.h"
#include "scene/materials.h"

namespace {

void beginGround() {
  applyMaterial(CHROME_MATERIAL);
  glNormal3f(0, 1, 0);  // once: it holds for every vertex of the flat grid
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, sceneTextures[TEX_SKY_NEG_Y]);
}

}  // namespace

void drawGround() {
  beginGround();
  drawGroundCells();
  glDisable(GL_TEXTURE_2D);
}
