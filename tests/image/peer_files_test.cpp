// The third-party BMP and TGA test files through the registry: the 24- and
// 32-bit true-colour files must match their reference PNGs, every other file is
// refused or decoded without harm (the sanitizer build watches the memory).
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/texture_loader.h"
#include "tests/support/test_paths.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// A picture as the reference PNG stores it: rows from the top, 3 or 4 bytes a pixel.
struct Picture {
  int width = 0;
  int height = 0;
  int channels = 0;
  Bytes pixels;
};

Picture readPng(const std::string& path, int channels) {
  // libpng's simplified reader: 8-bit sRGB samples as stored (the references carry no
  // other gamma), alpha not premultiplied, rows from the top.
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  Picture picture;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return picture;
  png.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  Bytes pixels(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return picture;
  }
  picture.width = static_cast<int>(png.width);
  picture.height = static_cast<int>(png.height);
  picture.channels = channels;
  picture.pixels = std::move(pixels);
  return picture;
}

struct Decoded {
  bool ok = false;
  std::string messages;
  int width = 0;
  int height = 0;
  int bytesPerPixel = 0;
  int format = 0;
  Bytes pixels;  // row 0 at the bottom, as the loaders give it
};

Decoded decode(const std::string& path) {
  Decoded d;
  CTextureLoader registry;
  CImage* image = nullptr;
  testing::internal::CaptureStderr();
  d.ok = registry.Load(path.c_str(), &image);
  d.messages = testing::internal::GetCapturedStderr();
  if (image != nullptr) {
    d.width = image->GetWidth();
    d.height = image->GetHeight();
    d.bytesPerPixel = image->GetBytesPerPixel();
    d.format = image->GetFormat();
    d.pixels.assign(image->GetData(),
                    image->GetData() + static_cast<size_t>(d.width) * d.height * d.bytesPerPixel);
    delete image;
  }
  return d;
}

// The decoded image turned upside down, so that its rows run from the top like the PNG's.
Bytes topRowFirst(const Decoded& d) {
  const size_t rowBytes = static_cast<size_t>(d.width) * d.bytesPerPixel;
  Bytes out;
  out.reserve(d.pixels.size());
  for (int r = d.height - 1; r >= 0; --r) {
    out.insert(out.end(), d.pixels.begin() + r * rowBytes, d.pixels.begin() + (r + 1) * rowBytes);
  }
  return out;
}

// Index of the first differing byte, or -1.
long firstDifference(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size()) return 0;
  const auto diff = std::mismatch(a.begin(), a.end(), b.begin());
  return diff.first == a.end() ? -1 : static_cast<long>(diff.first - a.begin());
}

struct ReferenceCase {
  const char* file;
  const char* reference;
  int channels;
  bool redGreenExchanged = false;
};

void expectMatchesReference(const ReferenceCase& c) {
  const Decoded d = decode(supporttest::testdata(c.file));
  ASSERT_TRUE(d.ok) << c.file << ": " << d.messages;
  EXPECT_EQ(d.messages, "") << c.file;
  EXPECT_EQ(d.format, c.channels == 4 ? GL_RGBA : GL_RGB) << c.file;
  const Picture reference = readPng(supporttest::testdata(c.reference), c.channels);
  ASSERT_GT(reference.width, 0) << c.reference;
  ASSERT_EQ(d.width, reference.width) << c.file;
  ASSERT_EQ(d.height, reference.height) << c.file;
  ASSERT_EQ(reference.channels, c.channels);
  Bytes expected = reference.pixels;
  if (c.redGreenExchanged) {
    for (size_t i = 0; i < expected.size(); i += c.channels) std::swap(expected[i], expected[i + 1]);
  }
  EXPECT_EQ(firstDifference(topRowFirst(d), expected), -1) << c.file << " differs from " << c.reference;
}

TEST(PeerFiles, TwentyFourBitBmpsMatchReference) {
  VELMORA_NEEDS_TESTDATA();
  // The palette and colour-profile variants show the same picture as rgb24.bmp (127 x 64, padded rows).
  // rgb24prof2.bmp stores red and green exchanged and carries a colour profile that
  // exchanges them back; the loader applies no colour profiles, so it gives the stored values.
  const ReferenceCase cases[] = {
      {"bmpsuite/g/rgb24.bmp", "bmpsuite/reference/rgb24.png", 3},
      {"bmpsuite/g/rgb24pal.bmp", "bmpsuite/reference/rgb24.png", 3},
      {"bmpsuite/q/rgb24largepal.bmp", "bmpsuite/reference/rgb24.png", 3},
      {"bmpsuite/q/rgb24prof.bmp", "bmpsuite/reference/rgb24.png", 3},
      {"bmpsuite/q/rgb24prof2.bmp", "bmpsuite/reference/rgb24.png", 3, true},
      {"bmpsuite/q/rgb24lprof.bmp", "bmpsuite/reference/rgb24.png", 3},
  };
  for (const ReferenceCase& c : cases) expectMatchesReference(c);
}

TEST(PeerFiles, TrueColourTgasMatchReferenceInBothRowOrders) {
  VELMORA_NEEDS_TESTDATA();
  // Bottom-left and top-left origins must both come out with row 0 at the bottom.
  const ReferenceCase cases[] = {
      {"tga/common/200x32_rgb_bl_raw.tga", "tga/common/200x32_rgb.png", 3},
      {"tga/common/200x32_rgb_bl_rle.tga", "tga/common/200x32_rgb.png", 3},
      {"tga/common/200x32_rgb_tl_raw.tga", "tga/common/200x32_rgb.png", 3},
      {"tga/common/200x32_rgb_tl_rle.tga", "tga/common/200x32_rgb.png", 3},
      {"tga/common/200x32_rgba_bl_raw.tga", "tga/common/200x32_rgba.png", 4},
      {"tga/common/200x32_rgba_bl_rle.tga", "tga/common/200x32_rgba.png", 4},
      {"tga/common/200x32_rgba_tl_raw.tga", "tga/common/200x32_rgba.png", 4},
      {"tga/common/200x32_rgba_tl_rle.tga", "tga/common/200x32_rgba.png", 4},
  };
  for (const ReferenceCase& c : cases) expectMatchesReference(c);
}

TEST(PeerFiles, ImageIdFieldTgaSkipsItsSixIdBytes) {
  VELMORA_NEEDS_TESTDATA();
  // 100 x 100, 24-bit, bottom row first; the pixels start at offset 18 + 6.
  const std::string path = supporttest::testdata("tga/tga_id_field.tga");
  const Decoded d = decode(path);
  ASSERT_TRUE(d.ok) << d.messages;
  ASSERT_EQ(d.width, 100);
  ASSERT_EQ(d.height, 100);
  std::ifstream in(path, std::ios::binary);
  const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(file.size(), 24u + 30000u);
  Bytes expected(file.begin() + 24, file.begin() + 24 + 30000);
  for (size_t i = 0; i < expected.size(); i += 3) std::swap(expected[i], expected[i + 2]);
  EXPECT_EQ(firstDifference(d.pixels, expected), -1);
}

// The decoded image with every row turned around.
Bytes mirrored(const Decoded& d) {
  Bytes out = d.pixels;
  const size_t pixel = static_cast<size_t>(d.bytesPerPixel), row = d.width * pixel;
  for (size_t r = 0; r < static_cast<size_t>(d.height); ++r) {
    for (size_t c = 0; c < static_cast<size_t>(d.width); ++c) {
      std::copy_n(d.pixels.begin() + r * row + c * pixel, pixel, out.begin() + r * row + (d.width - 1 - c) * pixel);
    }
  }
  return out;
}

TEST(PeerFiles, RightToLeftOriginBitMirrorsThePicture) {
  VELMORA_NEEDS_TESTDATA();
  // The three files differ only in the descriptor byte: 0x00, 0x10 (right to left)
  // and 0x30 (right to left, top first): the same stored pixels, shown mirrored.
  const Decoded plain = decode(supporttest::testdata("tga/rgb32rle.tga"));
  const Decoded bottomRight = decode(supporttest::testdata("tga/rgb32rle_bottom_right.tga"));
  const Decoded topRight = decode(supporttest::testdata("tga/rgb32rle_top_right.tga"));
  ASSERT_TRUE(plain.ok && bottomRight.ok && topRight.ok);
  EXPECT_EQ(plain.width, 199);
  EXPECT_EQ(plain.height, 199);
  EXPECT_EQ(plain.format, GL_RGBA);
  EXPECT_EQ(firstDifference(mirrored(bottomRight), plain.pixels), -1);
  Decoded upright = topRight;
  upright.pixels = topRowFirst(topRight);
  EXPECT_EQ(firstDifference(mirrored(upright), plain.pixels), -1);
  EXPECT_NE(firstDifference(bottomRight.pixels, plain.pixels), -1);
  // Not a blank picture: more than one colour appears.
  std::set<unsigned> colours;
  for (size_t i = 0; i < plain.pixels.size(); i += 4) {
    colours.insert(plain.pixels[i] | plain.pixels[i + 1] << 8 | plain.pixels[i + 2] << 16);
  }
  EXPECT_GT(colours.size(), 1u);
}

TEST(PeerFiles, GreyColourMappedAndSixteenBitTgasRefusedWithDepthMessage) {
  VELMORA_NEEDS_TESTDATA();
  // Grey (l) and colour-mapped (p) files store 8 bits a pixel, grey with alpha (la) and rgba16 16.
  std::vector<std::pair<std::string, int>> cases = {
      {"tga/la.tga", 16},       {"tga/p_8.tga", 8},
      {"tga/p_16.tga", 8},      {"tga/rgba16.tga", 16},
      {"tga/cross_scan_line.tga", 8}, {"tga/cross_scan_line_truncated.tga", 8},
      {"tga/200x32_p_bl_raw_origin.tga", 8},
  };
  for (const auto& entry : fs::directory_iterator(supporttest::testdata("tga/common"))) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".tga") continue;
    if (name.find("_la_") != std::string::npos) {
      cases.emplace_back("tga/common/" + name, 16);
    } else if (name.find("_l_") != std::string::npos || name.find("_p_") != std::string::npos) {
      cases.emplace_back("tga/common/" + name, 8);
    }
  }
  ASSERT_GE(cases.size(), 7u + 16u);
  for (const auto& [file, depth] : cases) {
    const Decoded d = decode(supporttest::testdata(file));
    EXPECT_FALSE(d.ok) << file;
    EXPECT_EQ(d.messages, "CTGAImageLoader::Load() - Unsupported color depth - ." + std::to_string(depth) + "\n")
        << file;
  }
}

// BMP files other than the reference ones that the loader accepts, with why.
const std::set<std::string> OTHER_DECODED_BMPS = {};

TEST(PeerFiles, EveryFileRefusedOrDecodedWithoutHarm) {
  VELMORA_NEEDS_TESTDATA();
  const std::set<std::string> referenceBmps = {"g/rgb24.bmp", "g/rgb24pal.bmp", "q/rgb24largepal.bmp",
                                               "q/rgb24prof.bmp", "q/rgb24prof2.bmp", "q/rgb24lprof.bmp"};
  int files = 0;
  std::set<std::string> decodedBmps;
  for (const char* folder : {"bmpsuite/g", "bmpsuite/q", "bmpsuite/b", "bmpsuite/x", "tga"}) {
    for (const auto& entry : fs::recursive_directory_iterator(supporttest::testdata(folder))) {
      if (!entry.is_regular_file()) continue;
      ++files;
      const std::string path = entry.path().string();
      const Decoded d = decode(path);
      if (!d.ok) continue;
      // A decoded image is whole: its size agrees with its format and it was read from the file.
      EXPECT_GE(d.width, 0) << path;
      EXPECT_GE(d.height, 0) << path;
      EXPECT_EQ(d.bytesPerPixel, d.format == GL_RGBA ? 4 : 3) << path;
      if (entry.path().extension() == ".bmp") {
        decodedBmps.insert(fs::relative(entry.path(), supporttest::testdata("bmpsuite")).string());
      }
    }
  }
  EXPECT_GT(files, 100);
  std::set<std::string> expected = referenceBmps;
  expected.insert(OTHER_DECODED_BMPS.begin(), OTHER_DECODED_BMPS.end());
  EXPECT_EQ(decodedBmps, expected);
}

}  // namespace
