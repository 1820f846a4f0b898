// The picture caps at their edges, through both loaders: a side of 16384
// pixels is read and 16385 refused; a picture of exactly 256 MiB decoded is
// read and the smallest one above it (one pixel more) refused before anything
// of its size is allocated.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <string>

#include "image/bmp_loader.h"
#include "image/image.h"
#include "image/tga_loader.h"
#include "support/read_limits.h"
#include "tests/image/image_fixtures.h"

namespace {

using imagetest::Bytes;

// A run-length TGA of `width` x `height` 32-bit pixels, all (B, G, R, A) = (1, 2, 3, 4):
// a few megabytes of file for hundreds of megabytes of picture.
Bytes runLengthTga(int width, int height) {
  imagetest::TgaHeaderFields f;
  f.imageType = 10;
  f.width = static_cast<std::uint16_t>(width);
  f.height = static_cast<std::uint16_t>(height);
  f.pixelDepth = 32;
  Bytes runs;
  for (std::uint64_t left = std::uint64_t(width) * height; left != 0; left -= std::min<std::uint64_t>(left, 128)) {
    runs.insert(runs.end(), {static_cast<std::uint8_t>(0x80 | (std::min<std::uint64_t>(left, 128) - 1)), 1, 2, 3, 4});
  }
  return imagetest::tgaFile(f, runs);
}

// An uncompressed 24-bit TGA, every byte 7.
Bytes plainTga(int width, int height) {
  imagetest::TgaHeaderFields f;
  f.width = static_cast<std::uint16_t>(width);
  f.height = static_cast<std::uint16_t>(height);
  return imagetest::tgaFile(f, Bytes(static_cast<size_t>(width) * height * 3, 7));
}

// A 24-bit BMP, every byte 7, rows padded to 4 bytes; a negative height
// stores them top-down.
Bytes plainBmp(int width, int height) {
  imagetest::BmpHeaderFields f;
  f.width = width;
  f.height = height;
  const size_t row = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  return imagetest::bmpFile(f, Bytes(row * static_cast<size_t>(std::abs(height)), 7));
}

TEST(SizeCaps, ASideOfTheCapIsReadAndOneMoreRefused) {
  ASSERT_EQ(IMAGE_MAX_SIDE, 16384);
  struct Case {
    const char* name;
    Bytes file;
    const char* refusal;  // empty: read
  };
  const Case cases[] = {
      {"wide.bmp", plainBmp(16384, 1), ""},
      {"wider.bmp", plainBmp(16385, 1), "16385 x 1 pixels: a side is larger than the 16384-pixel cap"},
      {"tall.bmp", plainBmp(2, -16384), ""},
      {"taller.bmp", plainBmp(2, -16385), "2 x 16385 pixels: a side is larger than the 16384-pixel cap"},
      {"wide.tga", plainTga(16384, 1), ""},
      {"wider.tga", plainTga(16385, 1), "16385 x 1 pixels: a side is larger than the 16384-pixel cap"},
      {"tall.tga", plainTga(1, 16384), ""},
      {"taller.tga", plainTga(1, 16385), "1 x 16385 pixels: a side is larger than the 16384-pixel cap"},
  };
  imagetest::ScratchDir dir("caps");
  CBMPImageLoader bmp;
  CTGAImageLoader tga;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = c.name;
    CImageLoader& loader = name.substr(name.size() - 3) == "bmp" ? static_cast<CImageLoader&>(bmp) : tga;
    CImage image;
    const bool read = loader.Load(dir.write(c.name, c.file).c_str(), &image);
    EXPECT_EQ(loader.GetFailure(), c.refusal);
    EXPECT_EQ(read, *c.refusal == '\0');
    if (read) {
      EXPECT_EQ(std::max(image.GetWidth(), image.GetHeight()), 16384);
      EXPECT_EQ(image.GetData()[0], 7);
    } else {
      EXPECT_EQ(image.GetData(), nullptr);
    }
  }
}

TEST(SizeCaps, ThePictureOfTheByteCapIsReadAndOnePixelMoreRefused) {
  ASSERT_EQ(IMAGE_MAX_BYTES, 256u << 20);
  // 8192 x 8192 x 4 bytes is the cap itself; 8065 x 8321 = 8192 x 8192 + 1 pixels.
  imagetest::ScratchDir dir("caps");
  CTGAImageLoader loader;
  {
    CImage image;
    ASSERT_TRUE(loader.Load(dir.write("cap.tga", runLengthTga(8192, 8192)).c_str(), &image)) << loader.GetFailure();
    ASSERT_EQ(image.GetWidth(), 8192);
    ASSERT_EQ(image.GetHeight(), 8192);
    ASSERT_EQ(image.GetBytesPerPixel(), 4);
    const unsigned char* last = image.GetRow(8191) + 8191 * 4;
    EXPECT_EQ(Bytes(last, last + 4), (Bytes{3, 2, 1, 4}));
  }
  const std::string over = dir.write("over.tga", runLengthTga(8065, 8321));
  imagetest::resetLargestAllocation();
  CImage image;
  EXPECT_FALSE(loader.Load(over.c_str(), &image));
  EXPECT_EQ(loader.GetFailure(), "8065 x 8321 pixels need 256.0 MiB, more than the 256 MiB cap");
  EXPECT_LT(imagetest::largestAllocation(), std::size_t(1) << 20);
}

}  // namespace
