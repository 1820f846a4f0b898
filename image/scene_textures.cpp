// The scene's own texture table: every picture of the sky box, ground, benches
// and signboard, read once at start-up and uploaded into its slot.
#include "image/scene_textures.h"

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "image/image.h"
#include "support/printable_text.h"
#include "image/texture_loader.h"

GLuint sceneTextures[SCENE_TEXTURE_COUNT] = {};

namespace {

struct SceneTextureFile {
  const char* name;
  int slot;
  const char* drawnUntextured;  // what the user sees when the picture is missing
};

// The order of file accesses, which is not the slot order.
constexpr SceneTextureFile SCENE_TEXTURE_FILES[] = {
    {"data/skybox/pos_z.bmp", TEX_SKY_POS_Z, "a wall of the sky box"},
    {"data/skybox/pos_x.bmp", TEX_SKY_POS_X, "a wall of the sky box"},
    {"data/skybox/neg_x.bmp", TEX_SKY_NEG_X, "a wall of the sky box"},
    {"data/skybox/neg_z.bmp", TEX_SKY_NEG_Z, "a wall of the sky box"},
    {"data/skybox/pos_y.bmp", TEX_SKY_POS_Y, "the top of the sky box"},
    {"data/skybox/neg_y.bmp", TEX_SKY_NEG_Y, "the ground"},
    {"data/wood1.bmp", TEX_WOOD, "the bench seats"},
    {"data/concrete.bmp", TEX_CONCRETE, "the bench supports"},
};

int failures = 0;

// A picture that cannot be read leaves its slot without an image: the face that
// binds it draws untextured and the scene goes on, but never without a word,
// since a white wall is otherwise a mystery. (The TGA loader's own messages come first.)
void loadInto(CTextureLoader& registry, const char* fileName, int slot, const char* drawnUntextured) {
  CImage* image = nullptr;
  if (registry.Load(fileName, &image)) {
    uploadTexture(sceneTextures[slot], image);
    delete image;
    return;
  }
  ++failures;
  std::cerr << program_invocation_short_name << ": scene picture " << printableText(fileName) << " not used: "
            << registry.GetFailure() << "; drawn untextured: " << drawnUntextured << std::endl;
}

}  // namespace

void loadSceneTextures() {
  failures = 0;
  CTextureLoader registry;
  glGenTextures(SCENE_TEXTURE_COUNT, sceneTextures);
  for (const SceneTextureFile& file : SCENE_TEXTURE_FILES) loadInto(registry, file.name, file.slot, file.drawnUntextured);
  for (int k = 1; k <= CACTUS_TEXTURE_COUNT; ++k) {
    char filename[128];
    std::snprintf(filename, sizeof filename, "data/cactus%i.tga", k);
    loadInto(registry, filename, TEX_CACTUS_FIRST + k - 1, "a picture of the signboard");
  }
}

int sceneTextureFailures() { return failures; }

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
