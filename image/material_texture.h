// Material textures of the model library: a diffuse map file becomes one
// mipmapped OpenGL texture, read through the registry the OBJ reader holds open.
#pragma once

#include <GL/gl.h>

#include <string>

class CTextureLoader;

// The registry that material textures are read through. It exists only while
// a model is being read; the OBJ reader creates and destroys it.
extern CTextureLoader* glmTextureLoader;

// The outcome of one material texture load, for callers that report failures themselves.
struct MaterialTextureResult {
  bool ok = false;
  GLuint id = 0;
  float width = 0;
  float height = 0;
  std::string error;   // on failure: the whole text to print, "Error reading texture: <name> \n"
  std::string reason;  // on failure: why, as the line that follows the message (reasonLine)
};

// Loads a material texture (leading spaces of the name ignored) and creates its
// texture object; prints "Loaded texture: <name>" on success. Never exits.
MaterialTextureResult glmTryLoadTexture(const char* fileName, bool repeat, bool linear, bool mipmap);

// The same, but a texture that cannot be read is fatal: its message and the
// reason line go to standard error and the process ends with exit status 1.
GLuint glmLoadTexture(const char* fileName, bool repeat, bool linear, bool mipmap, float* width, float* height);
