// The sky box: four unlit textured walls 20 high on the ground's edges and a textured top.
#pragma once

struct SkyBoxVertex {
  float x, y, z;
  float s, t;
};

struct SkyBoxFace {
  int textureSlot;  // index into sceneTextures
  SkyBoxVertex corners[4];
};

constexpr int SKY_BOX_FACE_COUNT = 5;

// The five faces in drawing order: walls at z = +45, z = -45, x = -45, x = +45, then the top.
extern const SkyBoxFace SKY_BOX_FACES[SKY_BOX_FACE_COUNT];

// Draws the five faces unlit and textured. Leaves texturing off and lighting on.
void drawSkyBox();
