// The fixed-function material presets of the immediate-mode objects.
#include "scene/materials.h"

#include <GL/gl.h>

const MaterialPreset BRONZE_MATERIAL = {
    {0.25f, 0.148f, 0.06475f, 1}, {0.4f, 0.2368f, 0.1036f, 1}, {0.774597f, 0.458561f, 0.200621f, 1}, 76.8f};
const MaterialPreset CHROME_MATERIAL = {
    {0.25f, 0.25f, 0.25f, 1}, {0.4f, 0.4f, 0.4f, 1}, {0.774597f, 0.774597f, 0.774597f, 1}, 76.8f};
const MaterialPreset SILVER_MATERIAL = {
    {0.23125f, 0.23125f, 0.23125f, 1}, {0.2775f, 0.2775f, 0.2775f, 1}, {0.773911f, 0.773911f, 0.773911f, 1}, 89.6f};

void applyMaterial(const MaterialPreset& preset) {
  glMaterialfv(GL_FRONT, GL_AMBIENT, preset.ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, preset.diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, preset.specular);
  glMaterialf(GL_FRONT, GL_SHININESS, preset.shininess);
}
