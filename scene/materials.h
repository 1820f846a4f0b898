// The fixed-function material presets of the immediate-mode objects.
#pragma once

struct MaterialPreset {
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float shininess;  // OpenGL's 0 .. 128 scale
};

extern const MaterialPreset BRONZE_MATERIAL;
extern const MaterialPreset CHROME_MATERIAL;
extern const MaterialPreset SILVER_MATERIAL;

// Makes `preset` the front material. Two-sided lighting stays off, so back
// faces are lit with it as well.
void applyMaterial(const MaterialPreset& preset);
