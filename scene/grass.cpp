// Grass patches: copies of one tilted model.
#include "scene/grass.h"

#include <GL/gl.h>

#include "scene/kart.h"
#include "scene/lazy_model.h"
#include "scene/materials.h"

namespace {
LazyModel grassModel;
}  // namespace

void drawGrassModel() { drawLazyModel(GRASS_MODEL_PATH, grassModel, ObjectKind::GRASS); }

void drawGrass(double x, double y, double z) {
  glPushMatrix();
  // A model without materials draws in chrome; one with materials brings its
  // own, and the model's attribute pop leaves chrome current again.
  applyMaterial(CHROME_MATERIAL);
  glScalef(KART_SCALE, KART_SCALE, KART_SCALE);
  glTranslated(x, y, z);
  glRotated(GRASS_TILT, 1, 0, 1);
  drawGrassModel();
  glPopMatrix();
}
