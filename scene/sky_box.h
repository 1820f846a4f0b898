// The sky box: four unlit textured walls 20 high on the ground's edges and a textured top.
#pragma once

#include "scene/culling/object_drawing.h"

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

// The same quads in the same order, leaving the same state behind, sent from
// vertex arrays: how a pick draws the sky box.
void drawSkyBoxFromArrays();

// The sky box as the frame draws it: never left out, since it encloses the
// scene; from arrays in selection mode.
extern const SceneObject SKY_BOX_OBJECT;
