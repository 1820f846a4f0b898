// The texture call the MTL reader uses (glmTryLoadTexture unless replaced) and
// the registry glmTextureLoader that it reads through while a model is read.
#include "glm/texture_hook.h"

#include "image/texture_loader.h"

namespace {

GlmTextureHook currentHook = glmTryLoadTexture;

}  // namespace

GlmTextureHook glmSetTextureHook(GlmTextureHook hook) {
  GlmTextureHook previous = currentHook;
  currentHook = hook != nullptr ? hook : glmTryLoadTexture;
  return previous;
}

GlmTextureHook glmTextureHook() { return currentHook; }

TextureRegistryScope::TextureRegistryScope() { glmTextureLoader = new CTextureLoader(); }

TextureRegistryScope::~TextureRegistryScope() {
  delete glmTextureLoader;
  glmTextureLoader = nullptr;
}
