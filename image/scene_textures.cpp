// The scene's own texture table. The pictures arrive with the image loaders;
// until then the names exist and every face that binds one draws untextured.
#include "image/scene_textures.h"

GLuint sceneTextures[SCENE_TEXTURE_COUNT] = {};

void loadSceneTextures() { glGenTextures(SCENE_TEXTURE_COUNT, sceneTextures); }
