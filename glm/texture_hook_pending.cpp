// Stand-in until the image library provides the registry and the texture
// loading: every material texture request fails with the loader's message.
#include <string>

#include "glm/texture_hook.h"

namespace {

MaterialTextureResult failingLoad(const char* path, bool, bool, bool) {
  while (*path == ' ') ++path;
  MaterialTextureResult result;
  result.error = std::string("Error reading texture: ") + path + " \n";
  return result;
}

GlmTextureHook currentHook = failingLoad;

}  // namespace

GlmTextureHook glmSetTextureHook(GlmTextureHook hook) {
  GlmTextureHook previous = currentHook;
  currentHook = hook != nullptr ? hook : failingLoad;
  return previous;
}

GlmTextureHook glmTextureHook() { return currentHook; }

TextureRegistryScope::TextureRegistryScope() = default;
TextureRegistryScope::~TextureRegistryScope() = default;
