// The shared PNG writer: rows come out right side up from either row order,
// RGBA keeps its alpha, and a file it cannot write is refused with the reason.
#include "cli/png_file.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "tests/support/test_paths.h"

namespace {

// Reads a PNG back as 8-bit RGBA, top row first.
std::vector<unsigned char> readRgba(const std::string& path, int* width, int* height) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return {};
  png.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) return {};
  *width = static_cast<int>(png.width);
  *height = static_cast<int>(png.height);
  return pixels;
}

TEST(PngFile, RowsComeOutTopFirstFromEitherOrder) {
  const std::string dir = supporttest::makeTempDir("png");
  const std::string path = dir + "/out.png";
  // Two rows of two pixels: a red row and a blue row, in memory order.
  const unsigned char rgb[] = {255, 0, 0, 250, 0, 0, 0, 0, 255, 0, 0, 250};
  const unsigned char rgba[] = {255, 0, 0, 10, 250, 0, 0, 20, 0, 0, 255, 30, 0, 0, 250, 40};
  const struct {
    int channels;
    const unsigned char* pixels;
    bool bottomRowFirst;
    unsigned char topRed, topAlpha;
  } cases[] = {
      {3, rgb, false, 255, 255},
      {3, rgb, true, 0, 255},
      {4, rgba, false, 255, 10},
      {4, rgba, true, 0, 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, bottom row first: " << c.bottomRowFirst);
    std::string error;
    ASSERT_TRUE(writePngFile(path, 2, 2, c.channels, c.pixels, c.bottomRowFirst, &error)) << error;
    int width = 0, height = 0;
    const std::vector<unsigned char> back = readRgba(path, &width, &height);
    ASSERT_EQ(back.size(), 16u);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(back[0], c.topRed);
    EXPECT_EQ(back[3], c.topAlpha);
    EXPECT_EQ(back[8], 255 - c.topRed);  // the other row
  }
  unlink(path.c_str());
  rmdir(dir.c_str());
}

TEST(PngFile, RefusesWithTheReason) {
  const unsigned char pixel[] = {1, 2, 3};
  std::string error;
  EXPECT_FALSE(writePngFile("/nonexistent-folder/out.png", 1, 1, 3, pixel, false, &error));
  EXPECT_EQ(error.rfind("cannot write /nonexistent-folder/out.png: ", 0), 0u) << error;
  const std::string never = supporttest::makeTempDir("png-refused") + "/never.png";
  EXPECT_FALSE(writePngFile(never, 0, 1, 3, pixel, false, &error));
  EXPECT_EQ(error, "cannot write " + never + ": the picture is empty");
  EXPECT_FALSE(writePngFile(never, 1, 1, 2, pixel, false, &error));
  EXPECT_EQ(error, "cannot write " + never + ": only RGB and RGBA pictures are written");
  EXPECT_NE(access(never.c_str(), F_OK), 0) << "nothing is written for a refused picture";
}

}  // namespace
