// CTGAImageLoader on hand-built files: pixel order and row order, run-length
// packets, refusals with their messages, truncated and oversized files.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/tga_loader.h"
#include "tests/image/image_fixtures.h"

namespace {

using imagetest::Bytes;
using imagetest::TgaHeaderFields;

// What one Load gave: result, standard error text and the image's bytes.
struct TgaResult {
  bool ok = false;
  std::string messages;
  int width = 0;
  int height = 0;
  int format = 0;
  bool hasData = false;
  Bytes pixels;
};

TgaResult loadWith(CTGAImageLoader& loader, const std::string& path) {
  TgaResult r;
  CImage image;
  testing::internal::CaptureStderr();
  r.ok = loader.Load(path.c_str(), &image);
  r.messages = testing::internal::GetCapturedStderr();
  r.hasData = image.GetData() != nullptr;
  if (r.ok) {
    r.width = image.GetWidth();
    r.height = image.GetHeight();
    r.format = image.GetFormat();
    r.pixels.assign(image.GetData(), image.GetData() + r.width * r.height * image.GetBytesPerPixel());
  }
  return r;
}

class TgaLoader : public testing::Test {
 protected:
  TgaResult load(const Bytes& file) { return loadWith(loader, dir.write("image.tga", file)); }

  imagetest::ScratchDir dir{"tga"};
  CTGAImageLoader loader;
};

TgaHeaderFields fields(std::uint8_t type, int width, int height, std::uint8_t depth, std::uint8_t descriptor = 0) {
  TgaHeaderFields f;
  f.imageType = type;
  f.width = static_cast<std::uint16_t>(width);
  f.height = static_cast<std::uint16_t>(height);
  f.pixelDepth = depth;
  f.descriptor = descriptor;
  return f;
}

// Four stored BGR pixels of a 2 x 2 picture, file order: (1,2,3) (4,5,6) / (7,8,9) (10,11,12).
const Bytes FOUR_BGR = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

TEST_F(TgaLoader, UncompressedBottomFirstKeepsFileRowOrderAndSwapsToRgb) {
  const TgaResult r = load(imagetest::tgaFile(fields(2, 2, 2, 24), FOUR_BGR));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.format, GL_RGB);
  EXPECT_EQ(r.width, 2);
  EXPECT_EQ(r.height, 2);
  // Stored blue, green, red 1, 2, 3 is red 3, green 2, blue 1 at row 0, column 0.
  EXPECT_EQ(r.pixels, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
  EXPECT_EQ(r.messages, "");
}

TEST_F(TgaLoader, TopFirstDescriptorPutsFirstStoredRowOnTop) {
  const TgaResult r = load(imagetest::tgaFile(fields(2, 2, 2, 24, 0x20), FOUR_BGR));
  ASSERT_TRUE(r.ok);
  // The first stored pixel lands at row 1 (the top), column 0.
  EXPECT_EQ(r.pixels, (Bytes{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}));
}

TEST_F(TgaLoader, RightToLeftBitMirrorsEveryRowOtherBitsChangeNothing) {
  struct Case {
    std::uint8_t type;
    std::uint8_t descriptor;
    Bytes stored;
    Bytes expected;
  };
  const Bytes plain = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
  const Bytes mirrored = {6, 5, 4, 3, 2, 1, 12, 11, 10, 9, 8, 7};
  const Case cases[] = {
      {2, 0x08, FOUR_BGR, plain},  // alpha-depth bits are not used
      {2, 0x10, FOUR_BGR, mirrored},
      {2, 0x30, FOUR_BGR, {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},  // right to left, top first
      // A raw packet of three crossing the row end: the third pixel starts the second row at its right.
      {10, 0x10, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x00, 10, 11, 12}, mirrored},
  };
  for (const Case& c : cases) {
    const TgaResult r = load(imagetest::tgaFile(fields(c.type, 2, 2, 24, c.descriptor), c.stored));
    ASSERT_TRUE(r.ok) << int(c.descriptor);
    EXPECT_EQ(r.pixels, c.expected) << "type " << int(c.type) << ", descriptor " << int(c.descriptor);
  }
}

TEST_F(TgaLoader, ThirtyTwoBitGivesRgbaWithStoredAlpha) {
  const TgaResult r = load(imagetest::tgaFile(fields(2, 3, 1, 32), {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.format, GL_RGBA);
  EXPECT_EQ(r.pixels, (Bytes{30, 20, 10, 40, 70, 60, 50, 80, 110, 100, 90, 120}));
}

TEST_F(TgaLoader, ImageIdFieldIsSkipped) {
  TgaHeaderFields f = fields(2, 1, 1, 24);
  f.idLength = 5;
  // Five ID bytes, then the pixel at file offset 23.
  const TgaResult r = load(imagetest::tgaFile(f, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x01, 0x02, 0x03}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (Bytes{3, 2, 1}));
}

TEST_F(TgaLoader, ColourMapOfTrueColourFileIsSkippedAndMustBeThere) {
  for (std::uint8_t type : {2, 10}) {
    TgaHeaderFields f = fields(type, 2, 1, 24);
    f.idLength = 1;
    f.colorMapType = 1;
    f.colorMapLength = 2;
    f.colorMapEntrySize = 15;  // two bytes an entry
    const Bytes pixels = type == 2 ? Bytes{1, 2, 3, 4, 5, 6} : Bytes{0x01, 1, 2, 3, 4, 5, 6};
    // One ID byte, four colour-map bytes, then the pixels.
    const TgaResult r = load(imagetest::tgaFile(f, imagetest::concat({{0xAA, 0xCC, 0xCC, 0xCC, 0xCC}, pixels})));
    ASSERT_TRUE(r.ok) << int(type);
    EXPECT_EQ(r.pixels, (Bytes{3, 2, 1, 6, 5, 4})) << int(type);
    // The same header over a file that holds the ID field and only part of the map.
    const TgaResult cut = load(imagetest::tgaFile(f, {0xAA, 0xCC, 0xCC}));
    EXPECT_FALSE(cut.ok);
    EXPECT_EQ(loader.GetFailure().rfind("truncated at byte 21 ", 0), 0u) << loader.GetFailure();
  }
}

TEST_F(TgaLoader, RunPacketContinuesFromRowIntoNextRow) {
  // 3 x 2: one run of 6 (0x85) fills both rows.
  const TgaResult r = load(imagetest::tgaFile(fields(10, 3, 2, 24), {0x85, 0x10, 0x20, 0x30}));
  ASSERT_TRUE(r.ok);
  Bytes expected;
  for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {0x30, 0x20, 0x10});
  EXPECT_EQ(r.pixels, expected);
}

TEST_F(TgaLoader, RawPacketCrossingRowsFollowsRowOrderBothWays) {
  // 2 x 3: a raw packet of 3 crosses the end of the first stored row, then a run of 3.
  const Bytes packets = {0x02, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0x82, 9, 8, 7};
  const TgaResult bottom = load(imagetest::tgaFile(fields(10, 2, 3, 24), packets));
  ASSERT_TRUE(bottom.ok);
  EXPECT_EQ(bottom.pixels, (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3, 7, 8, 9, 7, 8, 9, 7, 8, 9}));
  const TgaResult top = load(imagetest::tgaFile(fields(10, 2, 3, 24, 0x20), packets));
  ASSERT_TRUE(top.ok);
  // Stored rows 0, 1, 2 are image rows 2, 1, 0.
  EXPECT_EQ(top.pixels, (Bytes{7, 8, 9, 7, 8, 9, 3, 3, 3, 7, 8, 9, 1, 1, 1, 2, 2, 2}));
}

TEST_F(TgaLoader, PacketHeaderLimitsCarryOneOr128Pixels) {
  // 16 x 17 = 272 pixels: raw 0x7F (128 pixels), run 0xFF (128), raw 0x00 (1), run of the last 15.
  Bytes packets = {0x7F};
  for (int i = 0; i < 128; ++i) packets.insert(packets.end(), {static_cast<std::uint8_t>(i), 0, 0});
  packets.insert(packets.end(), {0xFF, 0, 0xAB, 0});
  packets.insert(packets.end(), {0x00, 0, 0, 0xCD});
  packets.insert(packets.end(), {0x8E, 0xEF, 0, 0});
  const TgaResult r = load(imagetest::tgaFile(fields(10, 16, 17, 24), packets));
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.pixels.size(), 272u * 3);
  for (int p = 0; p < 272; ++p) {
    Bytes expected;
    if (p < 128) {
      expected = {0, 0, static_cast<std::uint8_t>(p)};
    } else if (p < 256) {
      expected = {0, 0xAB, 0};
    } else if (p == 256) {
      expected = {0xCD, 0, 0};
    } else {
      expected = {0, 0, 0xEF};
    }
    EXPECT_EQ(Bytes(r.pixels.begin() + p * 3, r.pixels.begin() + p * 3 + 3), expected) << "pixel " << p;
  }
}

TEST_F(TgaLoader, RunLengthThirtyTwoBitKeepsAlpha) {
  const TgaResult r = load(imagetest::tgaFile(fields(10, 2, 1, 32), {0x81, 1, 2, 3, 4}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.format, GL_RGBA);
  EXPECT_EQ(r.pixels, (Bytes{3, 2, 1, 4, 3, 2, 1, 4}));
}

TEST_F(TgaLoader, RunPacketCutAtImageEnd) {
  // A 2 x 2 image whose only packet repeats its pixel 128 times: the first four count.
  const TgaResult run = load(imagetest::tgaFile(fields(10, 2, 2, 24), {0xFF, 5, 6, 7}));
  ASSERT_TRUE(run.ok);
  EXPECT_EQ(run.pixels, (Bytes{7, 6, 5, 7, 6, 5, 7, 6, 5, 7, 6, 5}));
  // A raw packet promising 3 pixels where 1 is left needs only that pixel's bytes.
  const TgaResult raw = load(imagetest::tgaFile(fields(10, 3, 1, 24), {0x81, 1, 1, 1, 0x02, 9, 9, 9}));
  ASSERT_TRUE(raw.ok);
  EXPECT_EQ(raw.pixels, (Bytes{1, 1, 1, 1, 1, 1, 9, 9, 9}));
}

TEST_F(TgaLoader, SmallestPossibleRunLengthFileLoads) {
  // 256 pixels in two 128-pixel runs: 8 bytes after the header, far fewer than 768 raw bytes.
  const TgaResult r = load(imagetest::tgaFile(fields(10, 256, 1, 24), {0xFF, 1, 2, 3, 0xFF, 4, 5, 6}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.pixels[0], 3);
  EXPECT_EQ(r.pixels[255 * 3], 6);
}

TEST_F(TgaLoader, ZeroSizedImageLoadsWithoutPixels) {
  EXPECT_TRUE(load(imagetest::tgaFile(fields(2, 0, 5, 24), {})).ok);
  EXPECT_TRUE(load(imagetest::tgaFile(fields(10, 7, 0, 32), {})).ok);
  EXPECT_TRUE(load(imagetest::tgaFile(fields(2, 0, 3, 24, 0x10), {})).ok);  // right to left, nothing to mirror
}

struct RefusalCase {
  const char* name;
  std::uint8_t type;
  std::uint8_t depth;
  const char* message;
};

TEST_F(TgaLoader, UnsupportedFilesAreRefusedWithTheirMessage) {
  const RefusalCase cases[] = {
      {"colour-mapped 8-bit", 1, 8, "CTGAImageLoader::Load() - Unsupported color depth - .8\n"},
      {"16-bit true colour", 2, 16, "CTGAImageLoader::Load() - Unsupported color depth - .16\n"},
      {"grey 8-bit run-length", 11, 8, "CTGAImageLoader::Load() - Unsupported color depth - .8\n"},
      {"depth 0", 2, 0, "CTGAImageLoader::Load() - Unsupported color depth - .0\n"},
      {"grey 24-bit", 3, 24, "CTGAImageLoader::Load() - Unsupported image type.\n"},
      {"colour-mapped 32-bit", 1, 32, "CTGAImageLoader::Load() - Unsupported image type.\n"},
      {"no image", 0, 24, "CTGAImageLoader::Load() - Unsupported image type.\n"},
  };
  for (const RefusalCase& c : cases) {
    const TgaResult r = load(imagetest::tgaFile(fields(c.type, 1, 1, c.depth), {1, 2, 3, 4}));
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_FALSE(r.hasData) << c.name;
    EXPECT_EQ(r.messages, c.message) << c.name;
  }
}

TEST_F(TgaLoader, TruncatedFilesAreRefusedWithoutPixels) {
  struct Case {
    const char* name;
    Bytes file;
  };
  const Case cases[] = {
      {"header cut short", [] {
         Bytes header = imagetest::tgaHeader(fields(2, 1, 1, 24));
         header.resize(12);
         return header;
       }()},
      {"empty file", {}},
      {"raw, last byte missing", imagetest::tgaFile(fields(2, 2, 2, 24), Bytes(FOUR_BGR.begin(), FOUR_BGR.end() - 1))},
      {"raw top-first, last row short", imagetest::tgaFile(fields(2, 2, 2, 24, 0x20), Bytes(FOUR_BGR.begin(), FOUR_BGR.end() - 4))},
      {"ID field longer than the file", [] {
         TgaHeaderFields f = fields(2, 0, 0, 24);
         f.idLength = 10;
         return imagetest::tgaFile(f, {1, 2, 3});
       }()},
      // Enough bytes for the least possible run-length data, but the packets stop early.
      {"run-length, packets end early", imagetest::tgaFile(fields(10, 4, 1, 24), {0x81, 1, 2, 3, 0x00})},
      {"run-length, raw packet cut", imagetest::tgaFile(fields(10, 3, 1, 24), {0x02, 1, 2, 3, 4, 5, 6, 7, 8})},
      {"run-length, run pixel cut", imagetest::tgaFile(fields(10, 200, 1, 24), {0x81, 1, 2, 3, 0xFF, 1, 2})},
  };
  for (const Case& c : cases) {
    const TgaResult r = load(c.file);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_FALSE(r.hasData) << c.name;
    EXPECT_EQ(r.messages, "") << c.name;
  }
}

TEST_F(TgaLoader, OversizedHeaderIsRefusedBeforeAllocating) {
  struct Case {
    const char* name;
    Bytes file;
  };
  // 65535 x 65535 would be 12.9 GB of RGB (17 GB RGBA); the files hold a few bytes.
  const Case cases[] = {
      {"raw 24-bit", imagetest::tgaFile(fields(2, 65535, 65535, 24), {1, 2})},
      {"raw 32-bit", imagetest::tgaFile(fields(2, 65535, 65535, 32), Bytes(64, 7))},
      {"run-length", imagetest::tgaFile(fields(10, 65535, 65535, 24), {0xFF, 1, 2, 3})},
      // One byte short of two 128-pixel runs for 256 pixels.
      {"run-length, one byte short", imagetest::tgaFile(fields(10, 256, 1, 24), {0xFF, 1, 2, 3, 0xFF, 4, 5})},
      {"raw, one pixel short", imagetest::tgaFile(fields(2, 300, 200, 24), Bytes(300 * 200 * 3 - 3, 1))},
  };
  for (const Case& c : cases) {
    const std::string path = dir.write("big.tga", c.file);
    imagetest::resetLargestAllocation();
    const TgaResult r = loadWith(loader, path);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_FALSE(r.hasData) << c.name;
    // The stream's own buffers and the packet buffer are below this; an image of the header's size is not.
    EXPECT_LT(imagetest::largestAllocation(), 150000u) << c.name;
  }
}

// A valid run-length picture of `side` x `side` 32-bit pixels: 128-pixel runs only.
Bytes runLengthPicture(int side) {
  Bytes runs;
  for (std::uint64_t left = std::uint64_t(side) * side; left != 0; left -= std::min<std::uint64_t>(left, 128)) {
    runs.insert(runs.end(), {static_cast<std::uint8_t>(0x80 | (std::min<std::uint64_t>(left, 128) - 1)), 1, 2, 3, 4});
  }
  return imagetest::tgaFile(fields(10, side, side, 32), runs);
}

TEST_F(TgaLoader, RefusalsSayWhyAndNeverWaitOrBalloon) {
  const std::string fifo = dir.path() + "/fifo.tga";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // nobody writes: opening it would wait for ever
  const std::string zero = dir.path() + "/zero.tga";
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  const struct {
    std::string path;
    const char* reason;  // how the reason starts
  } cases[] = {
      {dir.path() + "/none.tga", "no such file"},
      {dir.path(), "a folder, not a file"},
      {fifo, "not a regular file"},
      {zero, "not a regular file"},
      {dir.write("cut.tga", Bytes(7, 0)), "truncated at byte 7 (its header promises 18 bytes)"},
      {dir.write("d16.tga", imagetest::tgaFile(fields(2, 1, 1, 16), {1, 2})), "unsupported colour depth of 16 bits"},
      {dir.write("grey.tga", imagetest::tgaFile(fields(3, 1, 1, 24), {1, 2, 3})), "unsupported image type 3 (grey"},
      {dir.write("wide.tga", imagetest::tgaFile(fields(10, 32768, 32768, 32), {0xFF, 1, 2, 3, 4})),
       "32768 x 32768 pixels: a side is larger than the 16384-pixel cap"},
      // Valid and only 10 MB, but 1 GiB decoded.
      {dir.write("huge.tga", runLengthPicture(16384)), "16384 x 16384 pixels need 1 GiB, more than the 256 MiB cap"},
  };
  for (const auto& c : cases) {
    imagetest::resetLargestAllocation();
    const TgaResult r = loadWith(loader, c.path);
    EXPECT_FALSE(r.ok) << c.path;
    EXPECT_EQ(loader.GetFailure().rfind(c.reason, 0), 0u) << c.path << ": " << loader.GetFailure();
    EXPECT_LT(imagetest::largestAllocation(), 150000u) << c.path;
  }
  EXPECT_TRUE(loadWith(loader, dir.write("ok.tga", runLengthPicture(64))).ok);
  EXPECT_EQ(loader.GetFailure(), "");
}

TEST_F(TgaLoader, NextLoadAfterRefusalWorks) {
  const std::string bad = dir.write("bad.tga", imagetest::tgaFile(fields(1, 1, 1, 8), {0}));
  const std::string cut = dir.write("cut.tga", imagetest::tgaFile(fields(10, 9, 9, 24), {0x80, 1, 2, 3}));
  const std::string good = dir.write("good.tga", imagetest::tgaFile(fields(2, 1, 1, 24), {1, 2, 3}));
  EXPECT_FALSE(loadWith(loader, bad).ok);
  EXPECT_FALSE(loadWith(loader, cut).ok);
  EXPECT_FALSE(loadWith(loader, dir.path() + "/missing.tga").ok);
  const TgaResult r = loadWith(loader, good);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.pixels, (Bytes{3, 2, 1}));
}

TEST_F(TgaLoader, MissingFileGivesFalseSilently) {
  const TgaResult r = loadWith(loader, dir.path() + "/none.tga");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.messages, "");
}

TEST_F(TgaLoader, FailedLoadLeavesEarlierImageReleased) {
  // An image that held pixels before a refused load ends without them, never with stale ones.
  CImage image;
  image.Create(4, 4, GL_RGB);
  const std::string cut = dir.write("cut.tga", imagetest::tgaFile(fields(2, 2, 2, 24), {1, 2, 3}));
  EXPECT_FALSE(loader.Load(cut.c_str(), &image));
  EXPECT_EQ(image.GetData(), nullptr);
}

}  // namespace
