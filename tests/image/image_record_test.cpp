// CImage: the buffer size and row size Create gives each format, and pixel addressing.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "image/image.h"

namespace {

struct CreateCase {
  int format;
  int width;
  int expectedBytesPerPixel;
};

TEST(ImageRecord, CreateChoosesBytesPerPixelFromFormat) {
  // GL_RGBA is the only format with four bytes; every other value gives three.
  const CreateCase cases[] = {{GL_RGBA, 5, 4}, {GL_RGB, 5, 3}, {GL_LUMINANCE, 5, 3}, {0, 7, 3}};
  for (const CreateCase& c : cases) {
    CImage image;
    image.Create(c.width, 2, c.format);
    EXPECT_EQ(image.GetBytesPerPixel(), c.expectedBytesPerPixel) << "format " << c.format;
    EXPECT_EQ(image.GetFormat(), c.format);
    EXPECT_EQ(image.GetWidth(), c.width);
    EXPECT_EQ(image.GetHeight(), 2);
    // Row r starts r x (width x bytes per pixel) bytes in: rows have no padding.
    EXPECT_EQ(image.GetRow(1) - image.GetData(), c.width * c.expectedBytesPerPixel);
  }
}

TEST(ImageRecord, NewImageHasNoPixelsAndReleaseFreesThem) {
  CImage image;
  EXPECT_EQ(image.GetData(), nullptr);
  image.Create(2, 2, GL_RGB);
  EXPECT_NE(image.GetData(), nullptr);
  EXPECT_EQ(image.Release(), &image);
  EXPECT_EQ(image.GetData(), nullptr);
  image.Release();  // a second release is harmless
  EXPECT_EQ(image.GetData(), nullptr);
}

TEST(ImageRecord, CreateAgainReplacesTheBuffer) {
  // The leak checker of the sanitizer build fails this test if the first buffer is not freed.
  CImage image;
  EXPECT_EQ(image.Create(4, 4, GL_RGBA), &image);
  image.Create(3, 1, GL_RGB);
  EXPECT_EQ(image.GetBytesPerPixel(), 3);
  EXPECT_EQ(image.GetWidth(), 3);
  EXPECT_EQ(image.GetRow(0), image.GetData());
}

TEST(ImageRecord, SetPixelWritesBytesPerPixelBytesAtRowAndColumn) {
  CImage image;
  image.Create(3, 2, GL_RGBA);
  std::fill(image.GetData(), image.GetData() + 3 * 2 * 4, 0);
  const unsigned char pixel[4] = {1, 2, 3, 4};
  image.SetPixel(1, 2, pixel);
  const unsigned char* data = image.GetData();
  for (int i = 0; i < 24; ++i) {
    // Row 1, column 2 is bytes 20..23; nothing else changes.
    const int expected = i >= 20 ? i - 19 : 0;
    EXPECT_EQ(data[i], expected) << "byte " << i;
  }
}

}  // namespace
