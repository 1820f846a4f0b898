// The scene's own texture table: 18 texture names created once at start-up, bound by slot.
#pragma once

#include <GL/gl.h>

class CImage;

constexpr int SCENE_TEXTURE_COUNT = 18;
constexpr int CACTUS_TEXTURE_COUNT = 10;

constexpr int TEX_SKY_POS_Z = 0;
constexpr int TEX_SKY_NEG_Z = 1;
constexpr int TEX_SKY_POS_X = 2;
constexpr int TEX_SKY_NEG_X = 3;
constexpr int TEX_SKY_POS_Y = 4;
constexpr int TEX_SKY_NEG_Y = 5;
constexpr int TEX_WOOD = 6;
constexpr int TEX_CONCRETE = 7;
constexpr int TEX_CACTUS_FIRST = 8;

extern GLuint sceneTextures[SCENE_TEXTURE_COUNT];

// Generates the 18 names and loads and uploads every scene picture from data/.
// A picture that cannot be read is skipped (its slot draws untextured) with one
// line on standard error naming the file and the reason.
void loadSceneTextures();

// How many scene pictures the last loadSceneTextures could not use.
int sceneTextureFailures();

// Binds `texture` and replaces its level 0 by `image`, linearly filtered.
void uploadTexture(GLuint texture, const CImage* image);
