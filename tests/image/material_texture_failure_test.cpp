// Material textures that cannot be read: glmTryLoadTexture reports, glmLoadTexture
// ends the process with status 1 and the exact message. No GL call happens first.
#include <gtest/gtest.h>

#include <string>

#include "image/material_texture.h"
#include "image/texture_loader.h"
#include "support/printable_text.h"
#include "tests/image/image_fixtures.h"

namespace {

using imagetest::Bytes;

// Standard error must equal the text exactly (a plain string would be taken as a regular expression).
testing::Matcher<const std::string&> exactly(const std::string& text) { return testing::Matcher<const std::string&>(text); }

class MaterialTextureFailure : public testing::Test {
 protected:
  void SetUp() override { glmTextureLoader = new CTextureLoader(); }
  void TearDown() override {
    delete glmTextureLoader;
    glmTextureLoader = nullptr;
  }

  imagetest::ScratchDir dir{"material"};
};

TEST_F(MaterialTextureFailure, TryLoadReportsWithoutExiting) {
  const std::string missing = dir.path() + "/missing.tga";
  testing::internal::CaptureStderr();
  const MaterialTextureResult result = glmTryLoadTexture(("  " + missing).c_str(), true, true, true);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.id, 0u);
  // The leading spaces are not part of the name in the message.
  EXPECT_EQ(result.error, "Error reading texture: " + missing + " \n");
  EXPECT_EQ(result.reason, "  " + missing + ": no such file\n");
  EXPECT_EQ(printed, "");
}

TEST_F(MaterialTextureFailure, TryLoadWithoutRegistryIsAFailureNotACrash) {
  delete glmTextureLoader;
  glmTextureLoader = nullptr;
  const MaterialTextureResult result = glmTryLoadTexture("data/any.tga", true, true, true);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "Error reading texture: data/any.tga \n");
}

TEST_F(MaterialTextureFailure, UnreadableTextureExitsWithStatusOneMessageAndReason) {
  struct Case {
    const char* what;
    std::string name;
    std::string reason;
  };
  const std::string longName = dir.path() + "/" + std::string(600, 'n') + ".tga";
  const Case cases[] = {
      {"missing file", dir.path() + "/missing.bmp", "no such file"},
      {"no loader for extension", dir.write("picture.png", Bytes{1, 2, 3}),
       "no loader for the extension \"png\"; pictures are read from .tga, .bmp files"},
      {"refused BMP", dir.write("bad.bmp", Bytes{'B', 'M', 0}),
       "truncated at byte 3 (its header promises 54 bytes); the file is damaged or was not copied whole"},
      // Longer than any fixed message buffer: cut where messages cut names, never overflowed.
      {"long name", longName, "the name is too long"},
      {"folder", dir.write("sub.tga/inside", Bytes{1}).substr(0, dir.path().size() + 8), "a folder, not a file"},
  };
  for (const Case& c : cases) {
    float width = -1, height = -1;
    EXPECT_EXIT(glmLoadTexture(c.name.c_str(), true, true, true, &width, &height), testing::ExitedWithCode(1),
                exactly("Error reading texture: " + printableText(c.name) + " \n\n  " + printableText(c.name) + ": " +
                        c.reason + "\n"))
        << c.what;
  }
}

TEST_F(MaterialTextureFailure, RefusedTgaPrintsLoaderMessageFirst) {
  imagetest::TgaHeaderFields f;
  f.imageType = 1;
  f.pixelDepth = 8;
  f.width = 1;
  f.height = 1;
  const std::string name = dir.write("mapped.tga", imagetest::tgaFile(f, {0}));
  float width = 0, height = 0;
  EXPECT_EXIT(glmLoadTexture((" " + name).c_str(), true, true, true, &width, &height), testing::ExitedWithCode(1),
              exactly("CTGAImageLoader::Load() - Unsupported color depth - .8\n"
                      "Error reading texture: " + name + " \n\n  " + name +
                      ": unsupported colour depth of 8 bits per pixel; only 24- and 32-bit TGA pictures are read\n"));
}

}  // namespace
