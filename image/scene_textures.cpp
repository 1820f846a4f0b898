// The scene's own texture table: every picture of the sky box, ground, benches
// and signboard, read once at start-up and uploaded into its slot.
#include "image/scene_textures.h"

#include <cstdio>

#include "image/image.h"
#include "image/texture_loader.h"

GLuint sceneTextures[SCENE_TEXTURE_COUNT] = {};

namespace {

struct SceneTextureFile {
  const char* name;
  int slot;
};

// The order of file accesses, which is not the slot order.
constexpr SceneTextureFile SCENE_TEXTURE_FILES[] = {
    {"data/skybox/pos_z.bmp", TEX_SKY_POS_Z}, {"data/skybox/pos_x.bmp", TEX_SKY_POS_X},
    {"data/skybox/neg_x.bmp", TEX_SKY_NEG_X}, {"data/skybox/neg_z.bmp", TEX_SKY_NEG_Z},
    {"data/skybox/pos_y.bmp", TEX_SKY_POS_Y}, {"data/skybox/neg_y.bmp", TEX_SKY_NEG_Y},
    {"data/wood1.bmp", TEX_WOOD},             {"data/concrete.bmp", TEX_CONCRETE},
};

// A picture that cannot be read leaves its slot without an image: the face that
// binds it draws untextured. The TGA loader explains its own refusals.
void loadInto(CTextureLoader& registry, const char* fileName, int slot) {
  CImage* image = nullptr;
  if (registry.Load(fileName, &image)) {
    uploadTexture(sceneTextures[slot], image);
    delete image;
  }
}

}  // namespace

void loadSceneTextures() {
  CTextureLoader registry;
  glGenTextures(SCENE_TEXTURE_COUNT, sceneTextures);
  for (const SceneTextureFile& file : SCENE_TEXTURE_FILES) loadInto(registry, file.name, file.slot);
  for (int k = 1; k <= CACTUS_TEXTURE_COUNT; ++k) {
    char filename[128];
    std::snprintf(filename, sizeof filename, "data/cactus%i.tga", k);
    loadInto(registry, filename, TEX_CACTUS_FIRST + k - 1);
  }
}

void uploadTexture(GLuint texture, const CImage* image) {
  // Image rows are unpadded; GL's default 4-byte row alignment only fits rows that happen to be multiples of 4.
  const int rowBytes = image->GetBytesPerPixel() * image->GetWidth();
  glPixelStorei(GL_UNPACK_ALIGNMENT, rowBytes % 4 != 0 ? 1 : 4);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, image->GetBytesPerPixel(), image->GetWidth(), image->GetHeight(), 0,
               static_cast<GLenum>(image->GetFormat()), GL_UNSIGNED_BYTE, image->GetData());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}
