// loadSceneTextures in a scratch working directory with its own data/ folder:
// every picture lands in its slot, missing and refused ones leave theirs empty.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>
#include <string>

#include "image/scene_textures.h"
#include "tests/image/gl_readback.h"
#include "tests/image/image_fixtures.h"

namespace {

using imagetest::Bytes;

// Runs the test inside a fresh folder and comes back to the project root after.
class SceneTextures : public testing::Test {
 protected:
  void SetUp() override {
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    home = buffer;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(chdir(home.c_str()), 0); }

  // Runs loadSceneTextures and returns what it printed.
  std::string loadAll() {
    testing::internal::CaptureStderr();
    loadSceneTextures();
    return testing::internal::GetCapturedStderr();
  }

  imagetest::ScratchDir dir{"scene"};
  std::string home;
};

// Each slot's picture gets its own width, slot + 1, so the slot it lands in shows.
Bytes bmpForSlot(int slot) {
  imagetest::BmpHeaderFields f;
  f.width = slot + 1;
  f.height = 2;
  std::vector<Bytes> rows(2, Bytes(static_cast<size_t>(f.width) * 3, static_cast<std::uint8_t>(slot)));
  return imagetest::bmpFile(f, imagetest::bmpRows(rows));
}

Bytes tgaForSlot(int slot) {
  imagetest::TgaHeaderFields f;
  f.imageType = 10;
  f.width = static_cast<std::uint16_t>(slot + 1);
  f.height = 2;
  f.pixelDepth = slot % 2 == 0 ? 24 : 32;  // both depths among the cactus pictures
  Bytes runs;
  for (int i = 0; i < 2; ++i) {
    runs.push_back(static_cast<std::uint8_t>(0x80 | slot));
    runs.insert(runs.end(), {static_cast<std::uint8_t>(slot), 0x40, 0x80});
    if (f.pixelDepth == 32) runs.push_back(0xFF);
  }
  return imagetest::tgaFile(f, runs);
}

struct SlotFile {
  int slot;
  const char* name;
};

const SlotFile BMP_FILES[] = {
    {TEX_SKY_POS_Z, "data/skybox/pos_z.bmp"}, {TEX_SKY_NEG_Z, "data/skybox/neg_z.bmp"},
    {TEX_SKY_POS_X, "data/skybox/pos_x.bmp"}, {TEX_SKY_NEG_X, "data/skybox/neg_x.bmp"},
    {TEX_SKY_POS_Y, "data/skybox/pos_y.bmp"}, {TEX_SKY_NEG_Y, "data/skybox/neg_y.bmp"},
    {TEX_WOOD, "data/wood1.bmp"},             {TEX_CONCRETE, "data/concrete.bmp"},
};

std::string cactusName(int k) { return "data/cactus" + std::to_string(k) + ".tga"; }

void expectNamesGenerated() {
  std::set<GLuint> names(sceneTextures, sceneTextures + SCENE_TEXTURE_COUNT);
  EXPECT_EQ(names.size(), static_cast<size_t>(SCENE_TEXTURE_COUNT));
  EXPECT_EQ(names.count(0u), 0u);
}

TEST_F(SceneTextures, EveryPictureLandsInItsSlot) {
  for (const SlotFile& f : BMP_FILES) dir.write(f.name, bmpForSlot(f.slot));
  for (int k = 1; k <= CACTUS_TEXTURE_COUNT; ++k) dir.write(cactusName(k), tgaForSlot(7 + k));
  EXPECT_EQ(loadAll(), "");
  EXPECT_EQ(sceneTextureFailures(), 0);
  expectNamesGenerated();
  for (int slot = 0; slot < SCENE_TEXTURE_COUNT; ++slot) {
    const GLuint texture = sceneTextures[slot];
    EXPECT_EQ(imagetest::levelWidth(texture, 0), slot + 1) << "slot " << slot;
    EXPECT_EQ(imagetest::levelHeight(texture, 0), 2) << "slot " << slot;
    EXPECT_EQ(imagetest::levelWidth(texture, 1), 0) << "slot " << slot << ": no mipmaps";
    EXPECT_EQ(imagetest::texParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << "slot " << slot;
    EXPECT_EQ(imagetest::texParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR) << "slot " << slot;
    EXPECT_EQ(imagetest::texParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT) << "slot " << slot;
  }
  // A cactus picture's texels: its run colour stored as blue = slot, green 0x40, red 0x80.
  const Bytes texels = imagetest::levelZeroTexels(sceneTextures[TEX_CACTUS_FIRST + 2], GL_RGB);
  ASSERT_GE(texels.size(), 3u);
  EXPECT_EQ(Bytes(texels.begin(), texels.begin() + 3), (Bytes{0x80, 0x40, TEX_CACTUS_FIRST + 2}));
  // The last picture uploaded was cactus 10, 18 x 2 RGBA: 72-byte rows, alignment 4.
  EXPECT_EQ(imagetest::unpackAlignment(), 4);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The line a picture that cannot be used gets.
std::string skipped(const std::string& file, const std::string& reason, const char* what) {
  return std::string(program_invocation_short_name) + ": scene picture " + file + " not used: " + reason +
         "; drawn untextured: " + what + "\n";
}

size_t lineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(SceneTextures, NoPicturesLeavesEverySlotEmptyAndSaysSoForEach) {
  const std::string printed = loadAll();
  EXPECT_EQ(lineCount(printed), 18u);
  EXPECT_EQ(printed.rfind(skipped("data/skybox/pos_z.bmp", "no such file", "a wall of the sky box"), 0), 0u);
  EXPECT_NE(printed.find(skipped("data/wood1.bmp", "no such file", "the bench seats")), std::string::npos);
  EXPECT_NE(printed.find(skipped("data/cactus10.tga", "no such file", "a picture of the signboard")),
            std::string::npos);
  EXPECT_EQ(sceneTextureFailures(), 18);
  expectNamesGenerated();
  for (int slot = 0; slot < SCENE_TEXTURE_COUNT; ++slot) {
    EXPECT_EQ(imagetest::levelWidth(sceneTextures[slot], 0), 0) << "slot " << slot;
  }
}

TEST_F(SceneTextures, OnlyThirdCactusFillsSlotTen) {
  dir.write("data/cactus3.tga", tgaForSlot(10));
  EXPECT_EQ(lineCount(loadAll()), 17u);
  EXPECT_EQ(sceneTextureFailures(), 17);
  expectNamesGenerated();
  for (int slot = 0; slot < SCENE_TEXTURE_COUNT; ++slot) {
    EXPECT_EQ(imagetest::levelWidth(sceneTextures[slot], 0), slot == 10 ? 11 : 0) << "slot " << slot;
  }
}

TEST_F(SceneTextures, RefusedPicturesAreSkippedEachWithItsReason) {
  for (const SlotFile& f : BMP_FILES) dir.write(f.name, bmpForSlot(f.slot));
  for (int k = 1; k <= CACTUS_TEXTURE_COUNT; ++k) dir.write(cactusName(k), tgaForSlot(7 + k));
  dir.write("data/concrete.bmp", Bytes{'B', 'M', 1, 2, 3});  // cut short
  imagetest::TgaHeaderFields mapped;
  mapped.imageType = 1;
  mapped.pixelDepth = 8;
  mapped.width = 1;
  mapped.height = 1;
  dir.write(cactusName(5), imagetest::tgaFile(mapped, {0}));
  ASSERT_EQ(std::remove("data/skybox/neg_y.bmp"), 0);
  EXPECT_EQ(
      loadAll(),
      skipped("data/skybox/neg_y.bmp", "no such file", "the ground") +
          skipped("data/concrete.bmp",
                  "truncated at byte 5 (its header promises 54 bytes); the file is damaged or was not copied whole",
                  "the bench supports") +
          "CTGAImageLoader::Load() - Unsupported color depth - .8\n" +
          skipped("data/cactus5.tga",
                  "unsupported colour depth of 8 bits per pixel; only 24- and 32-bit TGA pictures are read",
                  "a picture of the signboard"));
  EXPECT_EQ(sceneTextureFailures(), 3);
  for (int slot = 0; slot < SCENE_TEXTURE_COUNT; ++slot) {
    const bool skippedSlot = slot == TEX_SKY_NEG_Y || slot == TEX_CONCRETE || slot == TEX_CACTUS_FIRST + 4;
    EXPECT_EQ(imagetest::levelWidth(sceneTextures[slot], 0), skippedSlot ? 0 : slot + 1) << "slot " << slot;
  }
}

}  // namespace
