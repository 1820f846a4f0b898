// The generated pictures: valid headers, power-of-two sizes, a sky box whose faces
// join where the scene puts them together, a ground tile that repeats without seams or
// broad patterns, and ten cactus pictures that between them use every TGA layout the
// scene reads, the first eight forming a loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <tuple>

#include "tests/datagen/generated_data.h"
#include "tests/datagen/test_readers.h"

namespace {

using datagentest::generatedDir;
using datagentest::Picture;

Picture loadBmp(const std::string& name) {
  datagentest::BmpInfo info;
  Picture picture;
  std::string why;
  EXPECT_TRUE(datagentest::decodeBmp(datagentest::readFile(generatedDir() + "/" + name), info, picture, why))
      << name << ": " << why;
  return picture;
}

Picture loadTga(const std::string& name, datagentest::TgaInfo& info) {
  Picture picture;
  std::string why;
  EXPECT_TRUE(datagentest::decodeTga(datagentest::readFile(generatedDir() + "/" + name), info, picture, why))
      << name << ": " << why;
  return picture;
}

// Mean absolute difference per channel between two runs of texels.
double meanDifference(int count, const std::function<const uint8_t*(int)>& a, const std::function<const uint8_t*(int)>& b) {
  double sum = 0;
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < 3; ++c) sum += std::fabs(double(a(i)[c]) - double(b(i)[c]));
  }
  return sum / (3.0 * count);
}

// Mean difference between neighbouring columns inside the picture: the yardstick for
// "no visible seam". `rows` limits the rows compared.
double typicalColumnStep(const Picture& p, int rowFrom, int rowTo) {
  double sum = 0;
  for (int x = 0; x + 1 < p.width; ++x) {
    sum += meanDifference(rowTo - rowFrom, [&](int i) { return p.at(x, rowFrom + i); },
                          [&](int i) { return p.at(x + 1, rowFrom + i); });
  }
  return sum / (p.width - 1);
}

double typicalRowStep(const Picture& p) {
  double sum = 0;
  for (int y = 0; y + 1 < p.height; ++y) {
    sum += meanDifference(p.width, [&](int i) { return p.at(i, y); }, [&](int i) { return p.at(i, y + 1); });
  }
  return sum / (p.height - 1);
}

TEST(BmpPictures, AllAreUncompressed24BitWithPowerOfTwoSizes) {
  for (const char* name : {"skybox/pos_z.bmp", "skybox/neg_z.bmp", "skybox/pos_x.bmp", "skybox/neg_x.bmp",
                           "skybox/pos_y.bmp", "skybox/neg_y.bmp", "wood1.bmp", "concrete.bmp",
                           "models/go-carts/kart_tread.bmp"}) {
    datagentest::BmpInfo info;
    Picture picture;
    std::string why;
    std::vector<uint8_t> bytes = datagentest::readFile(generatedDir() + "/" + name);
    ASSERT_TRUE(datagentest::decodeBmp(bytes, info, picture, why)) << name << ": " << why;
    EXPECT_EQ(info.fileSizeField, bytes.size()) << name;
    EXPECT_EQ(info.dataOffset, 54u) << name;
    EXPECT_EQ(info.headerSize, 40u) << name;
    EXPECT_EQ(info.planes, 1) << name;
    EXPECT_TRUE(datagentest::powerOfTwo(info.width) && datagentest::powerOfTwo(info.height))
        << name << " is " << info.width << " x " << info.height;
  }
}

// The four walls in the order the scene joins them: each wall's s = 1 edge (its last
// column) stands on the same corner as the next wall's s = 0 edge.
const char* const PANORAMA[] = {"skybox/pos_z.bmp", "skybox/pos_x.bmp", "skybox/neg_z.bmp", "skybox/neg_x.bmp"};

TEST(SkyBox, WallsJoinAtEveryCornerOfThePanorama) {
  std::vector<Picture> walls;
  for (const char* name : PANORAMA) walls.push_back(loadBmp(name));
  for (int k = 0; k < 4; ++k) {
    const Picture &a = walls[k], &b = walls[(k + 1) % 4];
    ASSERT_EQ(a.height, b.height);
    // The bottom row is left out: it is made to match the top row (see below).
    double step = typicalColumnStep(a, 1, a.height);
    double seam = meanDifference(a.height - 1, [&](int i) { return a.at(a.width - 1, i + 1); },
                                 [&](int i) { return b.at(0, i + 1); });
    EXPECT_LE(seam, 2 * step + 1.0) << PANORAMA[k] << " -> " << PANORAMA[(k + 1) % 4];
  }
}

TEST(SkyBox, EachWallsEdgesMatchSoTheRepeatWrapShowsNoLine) {
  // GL_REPEAT filtering blends a face's first and last columns at its side edges, and
  // its first and last rows at its top edge.
  for (const char* name : PANORAMA) {
    Picture w = loadBmp(name);
    double step = typicalColumnStep(w, 1, w.height);
    double sides = meanDifference(w.height - 1, [&](int i) { return w.at(0, i + 1); },
                                  [&](int i) { return w.at(w.width - 1, i + 1); });
    EXPECT_LE(sides, 2 * step + 1.0) << name;
    // The top edge lies in the sky; a bottom row as dark as the treeline would draw a
    // line there. It must be at least half way to the top row's colour.
    double bottomToTop = meanDifference(w.width, [&](int i) { return w.at(i, 0); }, [&](int i) { return w.at(i, w.height - 1); });
    double treesToTop = meanDifference(w.width, [&](int i) { return w.at(i, 1); }, [&](int i) { return w.at(i, w.height - 1); });
    EXPECT_LE(bottomToTop, 0.55 * treesToTop + 1.0) << name;
  }
}

TEST(SkyBox, TopFaceBorderMatchesEachWallsTopRow) {
  Picture top = loadBmp("skybox/pos_y.bmp");
  ASSERT_EQ(top.width, top.height);
  // The top quad's corners (x, z) -> (s, t): (45, 45) -> (0, -1), (-45, 45) -> (0, 0),
  // (-45, -45) -> (-1, 0), (45, -45) -> (-1, -1). So s = (z - 45) / 90 and
  // t = (-45 - x) / 90, both wrapped into [0, 1) by GL_REPEAT.
  auto topTexel = [&](double x, double z) {
    double s = (z - 45) / 90 + 1, t = (-45 - x) / 90 + 1;
    int i = std::clamp(static_cast<int>(s * top.width), 0, top.width - 1);
    int j = std::clamp(static_cast<int>(t * top.height), 0, top.height - 1);
    return top.at(i, j);
  };
  // Each wall's top edge: (x, z) at the wall's s, from the wall quads' corners.
  struct Edge {
    const char* name;
    std::function<std::pair<double, double>(double)> at;
  };
  const Edge edges[] = {
      {"skybox/pos_z.bmp", [](double s) { return std::make_pair(45 - 90 * s, 45.0); }},
      {"skybox/neg_z.bmp", [](double s) { return std::make_pair(-45 + 90 * s, -45.0); }},
      {"skybox/pos_x.bmp", [](double s) { return std::make_pair(-45.0, 45 - 90 * s); }},
      {"skybox/neg_x.bmp", [](double s) { return std::make_pair(45.0, -45 + 90 * s); }},
  };
  double topStep = typicalRowStep(top);
  for (const Edge& e : edges) {
    Picture wall = loadBmp(e.name);
    double sum = 0;
    for (int i = 0; i < wall.width; ++i) {
      auto [x, z] = e.at((i + 0.5) / wall.width);
      // Step a hair inside the top face, away from the wrap.
      x *= 0.999, z *= 0.999;
      const uint8_t* w = wall.at(i, wall.height - 1);
      const uint8_t* t = topTexel(x, z);
      for (int c = 0; c < 3; ++c) sum += std::fabs(double(w[c]) - double(t[c]));
    }
    double difference = sum / (3.0 * wall.width);
    EXPECT_LE(difference, 3 * topStep + 2.0) << e.name;
  }
}

TEST(SkyBox, TopFaceEdgesMatchTheirWrapPartners) {
  Picture top = loadBmp("skybox/pos_y.bmp");
  double step = typicalColumnStep(top, 0, top.height);
  double columns = meanDifference(top.height, [&](int i) { return top.at(0, i); }, [&](int i) { return top.at(top.width - 1, i); });
  double rows = meanDifference(top.width, [&](int i) { return top.at(i, 0); }, [&](int i) { return top.at(i, top.height - 1); });
  EXPECT_LE(columns, 2 * step + 1.0);
  EXPECT_LE(rows, 2 * step + 1.0);
}

TEST(SkyBox, WallsShowSkyAboveAndDarkerLandBelow) {
  for (const char* name : PANORAMA) {
    Picture w = loadBmp(name);
    double skyBlue = 0, skyRed = 0, landLight = 0, skyLight = 0;
    for (int x = 0; x < w.width; ++x) {
      const uint8_t* high = w.at(x, w.height * 3 / 4);
      const uint8_t* low = w.at(x, 2);
      skyBlue += high[2], skyRed += high[0];
      skyLight += high[0] + high[1] + high[2];
      landLight += low[0] + low[1] + low[2];
    }
    EXPECT_GT(skyBlue, skyRed) << name << ": the upper wall should be blue sky";
    EXPECT_LT(landLight, 0.8 * skyLight) << name << ": trees at the foot should be darker than the sky";
  }
}

TEST(GroundTile, RepeatsSeamlesslyBothWays) {
  Picture g = loadBmp("skybox/neg_y.bmp");
  double colStep = typicalColumnStep(g, 0, g.height), rowStep = typicalRowStep(g);
  double columns = meanDifference(g.height, [&](int i) { return g.at(0, i); }, [&](int i) { return g.at(g.width - 1, i); });
  double rows = meanDifference(g.width, [&](int i) { return g.at(i, 0); }, [&](int i) { return g.at(i, g.height - 1); });
  EXPECT_LE(columns, 1.5 * colStep + 0.5);
  EXPECT_LE(rows, 1.5 * rowStep + 0.5);
}

TEST(GroundTile, HasLowContrastAndNoBroadPatternToRepeat) {
  // The ground repeats the tile 250,000 times and minifies it without mipmaps: any
  // broad variation inside the tile becomes a visible grid, and strong contrast
  // shimmers in the distance.
  Picture g = loadBmp("skybox/neg_y.bmp");
  auto luma = [&](int x, int y) {
    const uint8_t* p = g.at(x, y);
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
  };
  double sum = 0, sumSq = 0;
  const int n = g.width * g.height;
  for (int y = 0; y < g.height; ++y) {
    for (int x = 0; x < g.width; ++x) sum += luma(x, y), sumSq += luma(x, y) * luma(x, y);
  }
  double mean = sum / n, deviation = std::sqrt(sumSq / n - mean * mean);
  EXPECT_LT(deviation, 0.06 * mean);
  // Means of 4 x 4 blocks of the tile (quarter-tile features).
  const int blocks = 4, bw = g.width / blocks, bh = g.height / blocks;
  for (int by = 0; by < blocks; ++by) {
    for (int bx = 0; bx < blocks; ++bx) {
      double block = 0;
      for (int y = by * bh; y < (by + 1) * bh; ++y) {
        for (int x = bx * bw; x < (bx + 1) * bw; ++x) block += luma(x, y);
      }
      EXPECT_NEAR(block / (bw * bh), mean, 0.02 * mean) << "block " << bx << "," << by;
    }
  }
  // Green grass.
  const uint8_t* p = g.at(g.width / 2, g.height / 2);
  EXPECT_GT(p[1], p[0]);
  EXPECT_GT(p[1], p[2]);
}

TEST(CactusPictures, CoverBothTypesDepthsAndRowOrders) {
  std::set<std::tuple<int, int, bool>> seen;
  bool withImageId = false, runsAcrossRows = false;
  for (int k = 1; k <= 10; ++k) {
    std::string name = "cactus" + std::to_string(k) + ".tga";
    datagentest::TgaInfo info;
    Picture p = loadTga(name, info);
    EXPECT_TRUE(datagentest::powerOfTwo(info.width) && datagentest::powerOfTwo(info.height)) << name;
    EXPECT_EQ(info.colorMapType, 0) << name;
    seen.insert({info.imageType, info.pixelDepth, (info.descriptor & 0x20) != 0});
    withImageId = withImageId || info.idLength > 0;
    if (info.imageType == 10) {
      EXPECT_GT(info.runPackets, 0) << name;
      EXPECT_GT(info.rawPackets, 0) << name;
      runsAcrossRows = runsAcrossRows || info.packetsAcrossRows > 0;
    }
    if (info.pixelDepth == 32) {
      for (size_t i = 3; i < p.pixels.size(); i += 4) ASSERT_EQ(p.pixels[i], 255) << name << " is not opaque";
    }
  }
  for (int type : {2, 10}) {
    for (int depth : {24, 32}) {
      for (bool topFirst : {false, true}) {
        EXPECT_TRUE(seen.count({type, depth, topFirst}))
            << "no type " << type << ", " << depth << "-bit, " << (topFirst ? "top" : "bottom") << " row first";
      }
    }
  }
  EXPECT_TRUE(withImageId);
  EXPECT_TRUE(runsAcrossRows);
}

double pictureDifference(const Picture& a, const Picture& b) {
  return meanDifference(a.width * a.height, [&](int i) { return a.at(i % a.width, i / a.width); },
                        [&](int i) { return b.at(i % b.width, i / b.width); });
}

TEST(CactusPictures, AreTenDistinctPicturesOfOneSize) {
  std::vector<Picture> pictures;
  for (int k = 1; k <= 10; ++k) {
    datagentest::TgaInfo info;
    pictures.push_back(loadTga("cactus" + std::to_string(k) + ".tga", info));
  }
  for (int a = 0; a < 10; ++a) {
    EXPECT_EQ(pictures[a].width, pictures[0].width);
    EXPECT_EQ(pictures[a].height, pictures[0].height);
    for (int b = a + 1; b < 10; ++b) EXPECT_GT(pictureDifference(pictures[a], pictures[b]), 0.2) << a + 1 << " vs " << b + 1;
  }
  // The stills differ from the loop by far more than the loop's frames among themselves.
  for (int still : {8, 9}) {
    for (int frame = 0; frame < 8; ++frame) EXPECT_GT(pictureDifference(pictures[still], pictures[frame]), 10.0);
  }
}

TEST(CactusPictures, FirstEightLoopWithoutAJumpFromEightBackToOne) {
  std::vector<Picture> frames;
  for (int k = 1; k <= 8; ++k) {
    datagentest::TgaInfo info;
    frames.push_back(loadTga("cactus" + std::to_string(k) + ".tga", info));
  }
  std::vector<double> steps;
  for (int k = 0; k < 8; ++k) steps.push_back(pictureDifference(frames[k], frames[(k + 1) % 8]));
  double smallest = *std::min_element(steps.begin(), steps.begin() + 7);
  double largest = *std::max_element(steps.begin(), steps.begin() + 7);
  EXPECT_GT(smallest, 0.1) << "every frame should move";
  EXPECT_LE(steps[7], 1.5 * largest) << "frame 8 -> 1 jumps";
  EXPECT_GE(steps[7], 0.5 * smallest) << "frame 8 is frame 1 again";
}

TEST(KartTextures, AreValidPowerOfTwoPictures) {
  datagentest::TgaInfo info;
  Picture number = loadTga("models/go-carts/kart_number.tga", info);
  EXPECT_TRUE(datagentest::powerOfTwo(number.width) && datagentest::powerOfTwo(number.height));
  Picture tread = loadBmp("models/go-carts/kart_tread.bmp");
  EXPECT_TRUE(datagentest::powerOfTwo(tread.width) && datagentest::powerOfTwo(tread.height));
}

}  // namespace
