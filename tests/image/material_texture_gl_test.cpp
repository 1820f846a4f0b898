// glmTryLoadTexture and glmLoadTexture in a real GL context: the filter and wrap
// table, mipmap levels, reported size, alignment and the success message.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/material_texture.h"
#include "image/texture_loader.h"
#include "tests/image/gl_readback.h"
#include "tests/image/image_fixtures.h"

namespace {

using imagetest::Bytes;

// A width x height TGA whose pixels are all different, 24- or 32-bit, uncompressed.
Bytes patternTga(int width, int height, int depth) {
  imagetest::TgaHeaderFields f;
  f.width = static_cast<std::uint16_t>(width);
  f.height = static_cast<std::uint16_t>(height);
  f.pixelDepth = static_cast<std::uint8_t>(depth);
  Bytes pixels(static_cast<size_t>(width) * height * depth / 8);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 5 + 3);
  return imagetest::tgaFile(f, pixels);
}

// The same pattern as the image holds it: blue and red exchanged.
Bytes patternRgb(int width, int height, int depth) {
  const int bytesPerPixel = depth / 8;
  const Bytes file = patternTga(width, height, depth);
  Bytes stored(file.begin() + 18, file.end());
  for (size_t i = 0; i < stored.size(); i += bytesPerPixel) std::swap(stored[i], stored[i + 2]);
  return stored;
}

class MaterialTexture : public testing::Test {
 protected:
  void SetUp() override { glmTextureLoader = new CTextureLoader(); }
  void TearDown() override {
    delete glmTextureLoader;
    glmTextureLoader = nullptr;
  }

  MaterialTextureResult load(const std::string& name, bool repeat, bool linear, bool mipmap) {
    testing::internal::CaptureStderr();
    MaterialTextureResult result = glmTryLoadTexture(name.c_str(), repeat, linear, mipmap);
    printed = testing::internal::GetCapturedStderr();
    return result;
  }

  imagetest::ScratchDir dir{"material-gl"};
  std::string printed;
};

TEST_F(MaterialTexture, AllFlagsGiveMipmappedLinearRepeatedTexture) {
  const std::string path = dir.write("kart.tga", patternTga(8, 4, 24));
  const MaterialTextureResult r = load(path, true, true, true);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(printed, "Loaded texture: " + path + "\n");
  EXPECT_NE(r.id, 0u);
  EXPECT_EQ(r.width, 8.0f);
  EXPECT_EQ(r.height, 4.0f);
  EXPECT_EQ(imagetest::texParameter(r.id, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(imagetest::texParameter(r.id, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(imagetest::texParameter(r.id, GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(imagetest::texParameter(r.id, GL_TEXTURE_WRAP_T), GL_REPEAT);
  // The whole chain down to 1 x 1: 8x4, 4x2, 2x1, 1x1, and nothing below.
  const int widths[] = {8, 4, 2, 1, 0};
  const int heights[] = {4, 2, 1, 1, 0};
  for (int level = 0; level < 5; ++level) {
    EXPECT_EQ(imagetest::levelWidth(r.id, level), widths[level]) << "level " << level;
    EXPECT_EQ(imagetest::levelHeight(r.id, level), heights[level]) << "level " << level;
  }
  EXPECT_EQ(imagetest::levelZeroTexels(r.id, GL_RGB), patternRgb(8, 4, 24));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

struct FlagCase {
  bool repeat;
  bool linear;
  bool mipmap;
  GLint minFilter;
  GLint magFilter;
  GLint wrap;
};

TEST_F(MaterialTexture, FlagsChooseFiltersWrapAndLevels) {
  const FlagCase cases[] = {
      {true, true, true, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT},
      {true, true, false, GL_LINEAR, GL_LINEAR, GL_REPEAT},
      {true, false, true, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, GL_REPEAT},
      {true, false, false, GL_NEAREST, GL_NEAREST, GL_REPEAT},
      {false, true, true, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP},
      {false, true, false, GL_LINEAR, GL_LINEAR, GL_CLAMP},
      {false, false, true, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, GL_CLAMP},
      {false, false, false, GL_NEAREST, GL_NEAREST, GL_CLAMP},
  };
  const std::string path = dir.write("flags.tga", patternTga(4, 4, 32));
  for (const FlagCase& c : cases) {
    const MaterialTextureResult r = load(path, c.repeat, c.linear, c.mipmap);
    ASSERT_TRUE(r.ok);
    const std::string flags = std::to_string(c.repeat) + std::to_string(c.linear) + std::to_string(c.mipmap);
    EXPECT_EQ(imagetest::texParameter(r.id, GL_TEXTURE_MIN_FILTER), c.minFilter) << flags;
    EXPECT_EQ(imagetest::texParameter(r.id, GL_TEXTURE_MAG_FILTER), c.magFilter) << flags;
    EXPECT_EQ(imagetest::texParameter(r.id, GL_TEXTURE_WRAP_S), c.wrap) << flags;
    EXPECT_EQ(imagetest::texParameter(r.id, GL_TEXTURE_WRAP_T), c.wrap) << flags;
    EXPECT_EQ(imagetest::levelWidth(r.id, 1), c.mipmap ? 2 : 0) << flags;
    EXPECT_EQ(imagetest::levelZeroTexels(r.id, GL_RGBA), patternRgb(4, 4, 32)) << flags;
  }
}

struct MaterialAlignmentCase {
  int width;
  int depth;
  GLint alignment;
};

TEST_F(MaterialTexture, UnpackAlignmentFollowsRowBytes) {
  const MaterialAlignmentCase cases[] = {{3, 24, 1}, {4, 24, 4}, {3, 32, 4}, {5, 24, 1}, {2, 24, 1}};
  for (const MaterialAlignmentCase& c : cases) {
    for (const bool mipmap : {false, true}) {
      glPixelStorei(GL_UNPACK_ALIGNMENT, c.alignment == 1 ? 4 : 1);
      const std::string path = dir.write("align.tga", patternTga(c.width, 2, c.depth));
      const MaterialTextureResult r = load(path, true, true, mipmap);
      ASSERT_TRUE(r.ok);
      EXPECT_EQ(imagetest::unpackAlignment(), c.alignment) << c.width << " x " << c.depth << " bits";
      if (!mipmap) {
        // Unscaled level 0: the rows arrive as the file stored them.
        EXPECT_EQ(imagetest::levelZeroTexels(r.id, c.depth == 32 ? GL_RGBA : GL_RGB), patternRgb(c.width, 2, c.depth));
      }
    }
  }
}

TEST_F(MaterialTexture, ReportsImageSizeEvenWhenMipmapsRescale) {
  // A 256 x 128 image reports 256 and 128; a 3 x 5 one reports 3 and 5 although
  // its mipmapped texture is rescaled to powers of two.
  imagetest::TgaHeaderFields f;
  f.imageType = 10;
  f.width = 256;
  f.height = 128;
  Bytes runs;
  for (int i = 0; i < 256; ++i) runs.insert(runs.end(), {0xFF, 10, 20, 30});
  const MaterialTextureResult big = load(dir.write("big.tga", imagetest::tgaFile(f, runs)), true, true, true);
  ASSERT_TRUE(big.ok);
  EXPECT_EQ(big.width, 256.0f);
  EXPECT_EQ(big.height, 128.0f);

  const MaterialTextureResult odd = load(dir.write("odd.tga", patternTga(3, 5, 24)), true, true, true);
  ASSERT_TRUE(odd.ok);
  EXPECT_EQ(odd.width, 3.0f);
  EXPECT_EQ(odd.height, 5.0f);
  const GLint w = imagetest::levelWidth(odd.id, 0);
  const GLint h = imagetest::levelHeight(odd.id, 0);
  EXPECT_TRUE(w > 0 && (w & (w - 1)) == 0) << w;
  EXPECT_TRUE(h > 0 && (h & (h - 1)) == 0) << h;
}

TEST_F(MaterialTexture, LeadingSpacesAreNotPartOfTheName) {
  const std::string path = dir.write("spaced.bmp", [] {
    imagetest::BmpHeaderFields f;
    f.width = 2;
    f.height = 1;
    return imagetest::bmpFile(f, {1, 2, 3, 4, 5, 6, 0, 0});
  }());
  const MaterialTextureResult plain = load(path, true, true, false);
  ASSERT_TRUE(plain.ok);
  const MaterialTextureResult spaced = load("  " + path, true, true, false);
  ASSERT_TRUE(spaced.ok);
  EXPECT_EQ(printed, "Loaded texture: " + path + "\n");
  EXPECT_EQ(imagetest::levelZeroTexels(spaced.id, GL_RGB), imagetest::levelZeroTexels(plain.id, GL_RGB));
  EXPECT_EQ(imagetest::levelZeroTexels(spaced.id, GL_RGB), (Bytes{3, 2, 1, 6, 5, 4}));
  // Two loads of one file are two texture objects.
  EXPECT_NE(spaced.id, plain.id);
}

TEST_F(MaterialTexture, LoadTextureReturnsNameAndSize) {
  const std::string path = dir.write("ok.tga", patternTga(4, 2, 24));
  float width = 0, height = 0;
  testing::internal::CaptureStderr();
  const GLuint id = glmLoadTexture((" " + path).c_str(), true, true, true, &width, &height);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Loaded texture: " + path + "\n");
  EXPECT_NE(id, 0u);
  EXPECT_EQ(width, 4.0f);
  EXPECT_EQ(height, 2.0f);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), id) << "the new texture stays bound";
  EXPECT_EQ(imagetest::levelWidth(id, 2), 1);
}

}  // namespace
