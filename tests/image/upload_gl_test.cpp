// uploadTexture in a real GL context: the unpack alignment rule, linear filters,
// the default wrap, one level, and the pixels arriving unskewed.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "image/image.h"
#include "image/scene_textures.h"
#include "tests/image/gl_readback.h"

namespace {

// An image whose every byte differs from its neighbours, so a skewed row shows.
void fillPattern(CImage& image) {
  const size_t bytes = static_cast<size_t>(image.GetWidth()) * image.GetHeight() * image.GetBytesPerPixel();
  for (size_t i = 0; i < bytes; ++i) image.GetData()[i] = static_cast<unsigned char>(i * 7 + 1);
}

struct AlignmentCase {
  int width;
  int format;
  GLint alignment;
};

TEST(UploadTexture, UnpackAlignmentFollowsRowBytes) {
  // 1 where width x bytes per pixel is not a multiple of 4, else 4.
  const AlignmentCase cases[] = {
      {3, GL_RGB, 1}, {4, GL_RGB, 4}, {1, GL_RGB, 1}, {5, GL_RGB, 1}, {8, GL_RGB, 4},
      {3, GL_RGBA, 4}, {1, GL_RGBA, 4}, {5, GL_RGBA, 4},
  };
  for (const AlignmentCase& c : cases) {
    // Start from the other value, so that the check sees the upload's choice.
    glPixelStorei(GL_UNPACK_ALIGNMENT, c.alignment == 1 ? 4 : 1);
    CImage image;
    image.Create(c.width, 3, c.format);
    fillPattern(image);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    uploadTexture(texture, &image);
    EXPECT_EQ(imagetest::unpackAlignment(), c.alignment) << c.width << " wide, format " << c.format;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture) << "the texture stays bound";
    // With the wrong alignment the rows would arrive shifted.
    const std::vector<unsigned char> texels = imagetest::levelZeroTexels(texture, static_cast<GLenum>(c.format));
    EXPECT_EQ(texels, std::vector<unsigned char>(image.GetData(), image.GetData() + texels.size()))
        << c.width << " wide, format " << c.format;
    glDeleteTextures(1, &texture);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(UploadTexture, LinearFiltersDefaultWrapSingleLevel) {
  CImage image;
  image.Create(8, 4, GL_RGBA);
  fillPattern(image);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  uploadTexture(texture, &image);
  EXPECT_EQ(imagetest::texParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(imagetest::texParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  EXPECT_EQ(imagetest::texParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(imagetest::texParameter(texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
  EXPECT_EQ(imagetest::levelWidth(texture, 0), 8);
  EXPECT_EQ(imagetest::levelHeight(texture, 0), 4);
  EXPECT_EQ(imagetest::levelWidth(texture, 1), 0) << "no mipmaps are built";
  GLint internalFormat = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &internalFormat);
  EXPECT_GT(internalFormat, 0) << "four components keep their alpha";
  glDeleteTextures(1, &texture);
}

TEST(UploadTexture, NonPowerOfTwoImageKeepsItsSize) {
  CImage image;
  image.Create(3, 5, GL_RGB);
  fillPattern(image);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  uploadTexture(texture, &image);
  EXPECT_EQ(imagetest::levelWidth(texture, 0), 3);
  EXPECT_EQ(imagetest::levelHeight(texture, 0), 5);
  glDeleteTextures(1, &texture);
}

}  // namespace
