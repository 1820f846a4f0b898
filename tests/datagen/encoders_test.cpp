// The generator's own encoders on small pictures, read back by the tests' readers.
#include <gtest/gtest.h>

#include "datagen/bmp_writer.h"
#include "datagen/file_store.h"
#include "datagen/tga_writer.h"
#include "tests/datagen/test_readers.h"

namespace {

datagen::Image8 picture(int width, int height, int channels, const std::vector<uint8_t>& pixels) {
  datagen::Image8 image;
  image.width = width;
  image.height = height;
  image.channels = channels;
  image.pixels = pixels;
  return image;
}

TEST(BmpWriter, PadsRowsToFourBytesAndStoresBottomRowFirstAsBgr) {
  // 3 x 2: rows of 9 bytes padded to 12.
  auto image = picture(3, 2, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18});
  std::vector<uint8_t> bytes = datagen::encodeBmp(image);
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);
  EXPECT_EQ(bytes[54], 3);  // first stored pixel: row 0, column 0, blue first
  EXPECT_EQ(bytes[56], 1);
  EXPECT_EQ(bytes[54 + 9], 0);  // padding
  EXPECT_EQ(bytes[54 + 12], 12);  // row 1 starts after the padded row 0
  datagentest::BmpInfo info;
  datagentest::Picture back;
  std::string why;
  ASSERT_TRUE(datagentest::decodeBmp(bytes, info, back, why)) << why;
  EXPECT_EQ(back.pixels, image.pixels);
}

struct TgaCase {
  bool runLength;
  int bits;
  bool topFirst;
  std::string id;
};

class TgaWriter : public ::testing::TestWithParam<TgaCase> {};

TEST_P(TgaWriter, RoundTripsThroughAnIndependentDecoder) {
  const TgaCase& c = GetParam();
  // 5 x 3 with a run that crosses from row 0 into row 1 and scattered single pixels.
  std::vector<uint8_t> px;
  for (int i = 0; i < 15; ++i) {
    bool run = i >= 3 && i <= 8;
    uint8_t v = run ? 200 : static_cast<uint8_t>(10 * i);
    px.insert(px.end(), {v, static_cast<uint8_t>(v + 1), static_cast<uint8_t>(v + 2)});
  }
  auto image = picture(5, 3, 3, px);
  std::vector<uint8_t> bytes = datagen::encodeTga(image, datagen::TgaOptions{c.runLength, c.bits, c.topFirst, c.id});
  EXPECT_EQ(bytes[0], c.id.size());
  EXPECT_EQ(bytes[2], c.runLength ? 10 : 2);
  EXPECT_EQ(bytes[16], c.bits);
  EXPECT_EQ((bytes[17] & 0x20) != 0, c.topFirst);
  datagentest::TgaInfo info;
  datagentest::Picture back;
  std::string why;
  ASSERT_TRUE(datagentest::decodeTga(bytes, info, back, why)) << why;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      for (int ch = 0; ch < 3; ++ch) ASSERT_EQ(back.at(x, y)[ch], image.pixel(x, y)[ch]) << x << "," << y;
      if (c.bits == 32) {
        ASSERT_EQ(back.at(x, y)[3], 255);
      }
    }
  }
  if (c.runLength) {
    EXPECT_GT(info.runPackets, 0);
    EXPECT_GT(info.rawPackets, 0);
    if (!c.topFirst) {
      EXPECT_GT(info.packetsAcrossRows, 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, TgaWriter,
                         ::testing::Values(TgaCase{false, 24, false, ""}, TgaCase{false, 32, true, "id"},
                                           TgaCase{true, 24, false, ""}, TgaCase{true, 32, true, "longer id"}));

TEST(TgaWriter, SplitsRunsLongerThan128Pixels) {
  auto image = picture(300, 1, 3, std::vector<uint8_t>(900, 7));
  std::vector<uint8_t> bytes = datagen::encodeTga(image, datagen::TgaOptions{true, 24, false, ""});
  // 128 + 128 + 44: three run packets of 4 bytes each after the 18-byte header.
  ASSERT_EQ(bytes.size(), 18u + 3 * 4);
  EXPECT_EQ(bytes[18], 0xFF);
  EXPECT_EQ(bytes[22], 0xFF);
  EXPECT_EQ(bytes[26], 0x80 | 43);
}

// The manifest read back as written; a line it cannot read only drops that
// file's record (it then counts as a person's), never another's.
TEST(Manifest, ReadsBackWhatItWroteAndSkipsDamagedLines) {
  const datagen::Manifest written = {{"wood1.bmp", datagen::recordOf(datagen::toBytes("wood"))},
                                     {"models/grass/trava obj.mtl", datagen::recordOf({})},
                                     {"cactus1.tga", {123456789, 0xffffffffffffffffull}}};
  const std::string text = datagen::manifestText(written);
  EXPECT_EQ(datagen::parseManifest(text), written);
  const struct {
    std::string line;
    size_t kept;
  } damaged[] = {
      {"", 3}, {"zz 12 a.bmp\n", 3}, {"0123 12\n", 3}, {"0123\n", 3}, {"# 0123 12 a.bmp\n", 3}, {"0123 12 a.bmp\n", 4},
  };
  for (const auto& d : damaged) {
    SCOPED_TRACE(d.line);
    EXPECT_EQ(datagen::parseManifest(text + d.line).size(), d.kept);
  }
  EXPECT_NE(datagen::recordOf(datagen::toBytes("wood")), datagen::recordOf(datagen::toBytes("wooe")));
}

}  // namespace
