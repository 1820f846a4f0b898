// The visual tolerance catches real faults: a picture with a missing object, a
// wrong or missing texture, a wrong light, a mirrored face or a wrongly turned
// kart is each rendered (or made from the reference) and must fail the
// comparison that the correct render passes.
#include <gtest/gtest.h>

#include <utility>

#include "image/image.h"
#include "image/scene_textures.h"
#include "image/texture_loader.h"
#include "tests/visual/image_compare.h"
#include "tests/visual/reference_shots.h"
#include "tools/shot/shot_render.h"

namespace {

using visualtest::CompareResult;
using visualtest::compareImages;
using visualtest::describe;
using visualtest::flipHorizontal;
using visualtest::ReferenceShot;
using visualtest::loadReferenceShots;
using visualtest::referenceShot;
using visualtest::referencePath;
using visualtest::shotOptions;


RgbImage reference(const std::string& name) {
  RgbImage image;
  std::string error;
  EXPECT_TRUE(readPng(referencePath(name), &image, &error)) << error;
  return image;
}

// Renders `args` and expects the comparison with reference `name` to fail.
void expectCaught(const std::string& name, const std::vector<std::string>& args, const std::string& fault) {
  SCOPED_TRACE(fault);
  const RgbImage faulty = renderShot(shotOptions(args));
  const CompareResult result = compareImages(reference(name), faulty);
  EXPECT_FALSE(result.passes) << fault << " passed as " << name << ": " << describe(result);
  std::printf("  %-58s caught: %s\n", fault.c_str(), describe(result).c_str());
}

class VisualFaults : public ::testing::Test {
 protected:
  // The scene textures exist once the first shot has been rendered.
  static void SetUpTestSuite() { renderShot(shotOptions({"--size", "64x48"})); }
};

TEST_F(VisualFaults, CorrectRendersPassWhereFaultyOnesFail) {
  // The control: each comparison below differs from a passing one by the fault alone.
  for (const char* name : {"start", "bench", "car_view", "curve_mid_lap"}) {
    SCOPED_TRACE(name);
    const CompareResult result = compareImages(reference(name), renderShot(referenceShot(name).options));
    EXPECT_TRUE(result.passes) << describe(result);
  }
}

TEST_F(VisualFaults, MirroredPictureFails) {
  for (const ReferenceShot& shot : loadReferenceShots()) {
    SCOPED_TRACE(shot.name);
    const CompareResult result = compareImages(flipHorizontal(reference(shot.name)), renderShot(shot.options));
    EXPECT_FALSE(result.passes) << "the mirrored " << shot.name << " picture passed: " << describe(result);
    std::printf("  %-58s caught: %s\n", ("mirrored " + shot.name).c_str(), describe(result).c_str());
  }
}

TEST_F(VisualFaults, MissingObjectFails) {
  // At parameter 2 the kart on the curve stands at world (-18, 0.2, -18),
  // outside the start view: the start picture without it.
  expectCaught("start", {"--curve", "2", "--scale", "4"}, "start view without the curve kart");
  // The mid-lap kart a little further on: its place empty, the kart elsewhere.
  expectCaught("curve_mid_lap", {"--pose", "-13,-12,-115,-5", "--drive", "on", "--frames", "100", "--scale", "4"},
               "mid-lap kart ten frames further");
}

TEST_F(VisualFaults, WrongLightFails) {
  expectCaught("start", {"--headlight", "on", "--scale", "4"}, "headlight on");
  expectCaught("start", {"--sun", "off", "--scale", "4"}, "sun off");
  expectCaught("start", {"--sun-moving", "on", "--sun-angle", "45", "--scale", "4"}, "sun moving");
  expectCaught("car_view", {"--view", "car", "--kart-lights", "off", "--scale", "4"}, "car view, kart lights off");
  expectCaught("kart_lights_off", {"--view", "car", "--scale", "4"}, "car view, kart lights on where off is expected");
  expectCaught("headlight_no_sun", {"--sun", "off", "--headlight", "on", "--scale", "4"},
               "headlight and sun toggled in the other order (ambient 0.3)");
  expectCaught("color_change", {"--color-change", "on", "--sun-angle", "295", "--steps", "1", "--scale", "4"},
               "colour change at another sun angle");
}

TEST_F(VisualFaults, WronglyTurnedKartFails) {
  // The same point of the lap, but the kart still heading as it started.
  expectCaught("curve_mid_lap", {"--pose", "-13,-12,-115,-5", "--curve", "2.67", "--scale", "4"},
               "mid-lap kart without its turns");
}

// Swaps two scene texture slots for the length of one render.
RgbImage renderWithSlots(const std::string& name, int a, int b) {
  std::swap(sceneTextures[a], sceneTextures[b]);
  const RgbImage image = renderShot(referenceShot(name).options);
  std::swap(sceneTextures[a], sceneTextures[b]);
  return image;
}

TEST_F(VisualFaults, WrongOrMissingTextureFails) {
  struct Case {
    const char* reference;
    int slotA, slotB;
    const char* fault;
  };
  const Case cases[] = {
      {"bench", TEX_WOOD, TEX_CONCRETE, "wood and concrete swapped"},
      {"start", TEX_SKY_NEG_Z, TEX_SKY_POS_X, "sky wall ahead shows another wall's picture"},
      {"car_view", TEX_CACTUS_FIRST, TEX_CACTUS_FIRST + 8, "signboard shows cactus picture 9 for 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    const CompareResult result = compareImages(reference(c.reference), renderWithSlots(c.reference, c.slotA, c.slotB));
    EXPECT_FALSE(result.passes) << c.fault << " passed: " << describe(result);
    std::printf("  %-58s caught: %s\n", c.fault, describe(result).c_str());
  }
  // A picture that failed to load leaves its slot without an image: the face draws untextured.
  GLuint empty;
  glGenTextures(1, &empty);
  const GLuint ground = sceneTextures[TEX_SKY_NEG_Y];
  sceneTextures[TEX_SKY_NEG_Y] = empty;
  const CompareResult result = compareImages(reference("start"), renderShot(referenceShot("start").options));
  sceneTextures[TEX_SKY_NEG_Y] = ground;
  EXPECT_FALSE(result.passes) << "an untextured ground passed: " << describe(result);
  std::printf("  %-58s caught: %s\n", "ground texture missing", describe(result).c_str());
}

TEST_F(VisualFaults, MirroredFaceFails) {
  // The sky wall ahead of the start view with its picture mirrored, as a face
  // with its texture coordinates running the wrong way would show it.
  CTextureLoader registry;
  CImage* image = nullptr;
  ASSERT_TRUE(registry.Load("data/skybox/neg_z.bmp", &image));
  const int bytes = image->GetBytesPerPixel();
  for (int row = 0; row < image->GetHeight(); ++row) {
    unsigned char* pixels = image->GetRow(row);
    for (int left = 0, right = image->GetWidth() - 1; left < right; ++left, --right)
      std::swap_ranges(pixels + left * bytes, pixels + (left + 1) * bytes, pixels + right * bytes);
  }
  GLuint mirrored;
  glGenTextures(1, &mirrored);
  uploadTexture(mirrored, image);
  delete image;

  const GLuint wall = sceneTextures[TEX_SKY_NEG_Z];
  sceneTextures[TEX_SKY_NEG_Z] = mirrored;
  const CompareResult result = compareImages(reference("start"), renderShot(referenceShot("start").options));
  sceneTextures[TEX_SKY_NEG_Z] = wall;
  glDeleteTextures(1, &mirrored);
  EXPECT_FALSE(result.passes) << "the mirrored sky wall passed: " << describe(result);
  std::printf("  %-58s caught: %s\n", "sky wall ahead mirrored", describe(result).c_str());
}

}  // namespace
