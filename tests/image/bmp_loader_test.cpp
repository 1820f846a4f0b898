// CBMPImageLoader on hand-built files: padding, row order both ways, BGR to RGB,
// the data offset, and the files it must refuse.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "image/bmp_loader.h"
#include "image/image.h"
#include "tests/image/image_fixtures.h"

namespace {

using imagetest::BmpHeaderFields;
using imagetest::Bytes;

struct BmpResult {
  bool ok = false;
  std::string messages;
  int width = 0;
  int height = 0;
  int format = 0;
  bool hasData = false;
  Bytes pixels;
};

class BmpLoader : public testing::Test {
 protected:
  BmpResult loadPath(const std::string& path) {
    BmpResult r;
    CImage image;
    testing::internal::CaptureStderr();
    r.ok = loader.Load(path.c_str(), &image);
    r.messages = testing::internal::GetCapturedStderr();
    r.hasData = image.GetData() != nullptr;
    if (r.ok) {
      r.width = image.GetWidth();
      r.height = image.GetHeight();
      r.format = image.GetFormat();
      r.pixels.assign(image.GetData(), image.GetData() + static_cast<size_t>(r.width) * r.height * 3);
    }
    return r;
  }
  BmpResult load(const Bytes& file) { return loadPath(dir.write("image.bmp", file)); }

  imagetest::ScratchDir dir{"bmp"};
  CBMPImageLoader loader;
};

BmpHeaderFields size(std::int32_t width, std::int32_t height) {
  BmpHeaderFields f;
  f.width = width;
  f.height = height;
  return f;
}

TEST_F(BmpLoader, PaddedRowsGiveUnpaddedImageRows) {
  // 2 x 2: 6 pixel bytes and 2 padding bytes (0xEE) per file row.
  const Bytes rows = imagetest::bmpRows({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
  ASSERT_EQ(rows.size(), 16u);
  const BmpResult r = load(imagetest::bmpFile(size(2, 2), rows));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.format, GL_RGB);
  // First file row is image row 0 (the bottom); each pixel's blue and red change places.
  EXPECT_EQ(r.pixels, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
  EXPECT_EQ(r.messages, "");
}

TEST_F(BmpLoader, UnpaddedRowsLoadWhole) {
  // 4 x 1: 12 bytes per row, no padding.
  const BmpResult r = load(imagetest::bmpFile(size(4, 1), {0x10, 0x20, 0x30, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (Bytes{0x30, 0x20, 0x10, 3, 2, 1, 6, 5, 4, 9, 8, 7}));
}

TEST_F(BmpLoader, NegativeHeightStoresRowsTopDown) {
  // The same stored rows with height -2 (padded) and width 4, height -2 (unpadded):
  // the first file row becomes the top row.
  const BmpResult padded = load(imagetest::bmpFile(size(2, -2), imagetest::bmpRows({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}})));
  ASSERT_TRUE(padded.ok);
  EXPECT_EQ(padded.height, 2);
  EXPECT_EQ(padded.pixels, (Bytes{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));

  Bytes top(12, 0x11), bottom(12, 0x22);
  top[0] = 0x01;
  bottom[0] = 0x02;
  const BmpResult unpadded = load(imagetest::bmpFile(size(4, -3), imagetest::concat({top, Bytes(12, 0x33), bottom})));
  ASSERT_TRUE(unpadded.ok);
  EXPECT_EQ(unpadded.height, 3);
  // Row 0 (bottom) is the last stored row; its first pixel reads 0x22, 0x22, 0x02.
  EXPECT_EQ(Bytes(unpadded.pixels.begin(), unpadded.pixels.begin() + 3), (Bytes{0x22, 0x22, 0x02}));
  EXPECT_EQ(unpadded.pixels[12 + 1], 0x33);
  EXPECT_EQ(Bytes(unpadded.pixels.begin() + 24, unpadded.pixels.begin() + 27), (Bytes{0x11, 0x11, 0x01}));
}

TEST_F(BmpLoader, DataOffsetIsHonoured) {
  BmpHeaderFields f = size(1, 1);
  f.dataOffset = 54 + 1024;  // as if a colour table lay between headers and pixels
  const BmpResult r = load(imagetest::bmpFile(f, {0x10, 0x20, 0x30, 0}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (Bytes{0x30, 0x20, 0x10}));
}

TEST_F(BmpLoader, LastRowMayLackItsPadding) {
  const BmpResult r = load(imagetest::bmpFile(size(1, 2), {1, 2, 3, 0, 4, 5, 6}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST_F(BmpLoader, ManyRowsCrossReadBlocks) {
  // 15 x 16384, padded to 48 bytes a row: several read blocks of whole rows, both row orders.
  const int width = 15, height = 16384;
  Bytes rows;
  for (int i = 0; i < height; ++i) {
    Bytes row(48, 0xEE);
    for (int p = 0; p < width; ++p) {
      row[p * 3] = static_cast<std::uint8_t>(i);
      row[p * 3 + 1] = static_cast<std::uint8_t>(i >> 8);
      row[p * 3 + 2] = static_cast<std::uint8_t>(p);
    }
    rows.insert(rows.end(), row.begin(), row.end());
  }
  for (const int sign : {1, -1}) {
    const BmpResult r = load(imagetest::bmpFile(size(width, sign * height), rows));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.pixels.size(), static_cast<size_t>(height) * width * 3);
    // Misplaced padding would shift the pixels after it: the first and last of each sampled row tell.
    for (int row = 0; row < height; row += 997) {
      const int stored = sign > 0 ? row : height - 1 - row;
      for (const int column : {0, width - 1}) {
        const size_t at = (static_cast<size_t>(row) * width + column) * 3;
        const Bytes expected = {static_cast<std::uint8_t>(column), static_cast<std::uint8_t>(stored >> 8),
                                static_cast<std::uint8_t>(stored)};
        ASSERT_EQ(Bytes(r.pixels.begin() + at, r.pixels.begin() + at + 3), expected) << "row " << row;
      }
    }
  }
}

TEST_F(BmpLoader, RowsWiderThanTheCapAreRefused) {
  // 87383 pixels a row would not fit a read block; no texture can be that wide either.
  const BmpResult r = load(imagetest::bmpFile(size(87383, 2), Bytes(2 * 262152, 1)));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(loader.GetFailure(), "87383 x 2 pixels: a side is larger than the 16384-pixel cap");
}

TEST_F(BmpLoader, ZeroWidthOrHeightGivesTrueWithoutPixels) {
  for (const auto& [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
    const BmpResult r = load(imagetest::bmpFile(size(w, h), {}));
    EXPECT_TRUE(r.ok) << w << " x " << h;
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
  }
}

TEST_F(BmpLoader, UnsupportedFilesAreRefusedSilentlyWithTheReasonKept) {
  struct Case {
    const char* name;
    Bytes file;
    const char* reason = "";  // how GetFailure starts
  };
  auto withBits = [](std::uint16_t bits) {
    BmpHeaderFields f = size(1, 1);
    f.bitsPerPixel = bits;
    return imagetest::bmpFile(f, Bytes(8, 0));
  };
  auto withCompression = [](std::uint32_t compression) {
    BmpHeaderFields f = size(1, 1);
    f.compression = compression;
    return imagetest::bmpFile(f, Bytes(8, 0));
  };
  Bytes notBm = imagetest::bmpFile(size(1, 1), {1, 2, 3, 0});
  notBm[0] = 'M';
  notBm[1] = 'B';
  Bytes headersCut = imagetest::bmpFile(size(1, 1), {1, 2, 3, 0});
  headersCut.resize(30);
  const Case cases[] = {
      {"signature MB", notBm, "not a BMP picture"},
      {"1-bit", withBits(1), "unsupported bit depth of 1 bits"},
      {"4-bit", withBits(4)},
      {"8-bit", withBits(8)},
      {"16-bit", withBits(16)},
      {"32-bit", withBits(32), "unsupported bit depth of 32 bits per pixel; only 24-bit"},
      {"run-length compression", withCompression(1), "unsupported compression 1 (8-bit run-length)"},
      {"bit fields", withCompression(3)},
      {"embedded JPEG", withCompression(4), "unsupported compression 4 (embedded JPEG)"},
      {"negative width", imagetest::bmpFile(size(-2, 1), Bytes(8, 0)), "impossible size -2 x 1"},
      {"lowest height", imagetest::bmpFile(size(1, INT32_MIN), Bytes(8, 0))},
      {"information header cut short", headersCut, "truncated at byte 30 (its header promises 54 bytes)"},
      {"empty file", {}, "truncated at byte 0"},
  };
  for (const Case& c : cases) {
    const BmpResult r = load(c.file);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_FALSE(r.hasData) << c.name;
    EXPECT_EQ(r.messages, "") << c.name;
    EXPECT_FALSE(loader.GetFailure().empty()) << c.name;
    EXPECT_EQ(loader.GetFailure().rfind(c.reason, 0), 0u) << c.name << ": " << loader.GetFailure();
  }
}

TEST_F(BmpLoader, TruncatedPixelDataIsRefused) {
  struct Case {
    const char* name;
    Bytes file;
  };
  BmpHeaderFields farOffset = size(1, 1);
  farOffset.dataOffset = 54;
  Bytes pastEnd = imagetest::bmpFile(farOffset, {1, 2, 3, 0});
  pastEnd[10] = 0xFF;  // data offset 0x00FF past the end of a 58-byte file
  const Case cases[] = {
      {"padded, last byte missing", imagetest::bmpFile(size(2, 2), Bytes(16 - 2 - 1, 9))},
      {"unpadded, last byte missing", imagetest::bmpFile(size(4, 2), Bytes(23, 9))},
      {"top-down, one row missing", imagetest::bmpFile(size(4, -2), Bytes(12, 9))},
      {"data offset past the end", pastEnd},
  };
  for (const Case& c : cases) {
    const BmpResult r = load(c.file);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_FALSE(r.hasData) << c.name;
    EXPECT_EQ(loader.GetFailure().rfind("truncated at byte ", 0), 0u) << c.name << ": " << loader.GetFailure();
  }
}

TEST_F(BmpLoader, OversizedHeaderIsRefusedBeforeAllocating) {
  struct Case {
    const char* name;
    std::int32_t width;
    std::int32_t height;
  };
  const Case cases[] = {
      {"30000 x 30000", 30000, 30000},
      {"top-down 30000 x 30000", 30000, -30000},
      {"row bytes overflow an int", INT32_MAX, 1},
      {"byte count past 64 bits of int math", INT32_MAX, INT32_MAX},
      {"one pixel more than the file", 5, 1},
  };
  for (const Case& c : cases) {
    const std::string path = dir.write("big.bmp", imagetest::bmpFile(size(c.width, c.height), Bytes(12, 1)));
    imagetest::resetLargestAllocation();
    const BmpResult r = loadPath(path);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_FALSE(r.hasData) << c.name;
    EXPECT_LT(imagetest::largestAllocation(), 150000u) << c.name;
  }
}

TEST_F(BmpLoader, NextLoadAfterRefusalWorks) {
  EXPECT_FALSE(load(imagetest::bmpFile(size(2, 2), Bytes(3, 0))).ok);
  EXPECT_FALSE(loadPath(dir.path() + "/missing.bmp").ok);
  const BmpResult r = load(imagetest::bmpFile(size(1, 1), {1, 2, 3, 0}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (Bytes{3, 2, 1}));
}

}  // namespace
