// Material textures as the model library sees them: the replaceable call that
// loads a map_Kd texture, and the registry that lives while one model is read.
#pragma once

#include "image/material_texture.h"

// Loads one material texture from its full path (flags as for glmTryLoadTexture).
// Never exits: a failure comes back as the result's error text.
using GlmTextureHook = MaterialTextureResult (*)(const char* path, bool repeat, bool linear, bool mipmap);

// Replaces the texture call; null restores the default, glmTryLoadTexture.
// Returns the call in force before. Tests, tools and the fuzzer record or
// decode requests through it without creating OpenGL textures.
GlmTextureHook glmSetTextureHook(GlmTextureHook hook);

// The texture call in force.
GlmTextureHook glmTextureHook();

// Creates the registry in glmTextureLoader for the lifetime of the object and
// destroys it again on every way out of the reader.
class TextureRegistryScope {
 public:
  TextureRegistryScope();
  ~TextureRegistryScope();
  TextureRegistryScope(const TextureRegistryScope&) = delete;
  TextureRegistryScope& operator=(const TextureRegistryScope&) = delete;
};
