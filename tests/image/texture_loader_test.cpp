// CTextureLoader: which names select which loader, the extension buffer's
// limits, list order, and ownership of entries and loaders.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image/bmp_loader.h"
#include "image/image.h"
#include "image/texture_loader.h"
#include "image/tga_loader.h"
#include "tests/image/image_fixtures.h"

namespace {

using imagetest::Bytes;

// A loader that counts its calls and its destruction and always gives one 1 x 1 pixel.
class CountingLoader : public CImageLoader {
 public:
  explicit CountingLoader(int* destroyed) : destroyed(destroyed) {}
  ~CountingLoader() override { ++*destroyed; }
  int calls = 0;

 protected:
  bool Decode(const char*, CImage* image) override {
    ++calls;
    image->Create(1, 1, GL_RGB);
    return true;
  }

 private:
  int* destroyed;
};

Bytes onePixelTga() {
  imagetest::TgaHeaderFields f;
  f.width = 1;
  f.height = 1;
  return imagetest::tgaFile(f, {1, 2, 3});
}

TEST(TextureLoaderExtension, LowerCasedTextAfterLastDot) {
  struct Case {
    const char* name;
    const char* extension;
  };
  const Case cases[] = {
      {"data/Tree.TGA", "tga"},
      {"data/tree.Tga", "tga"},
      {"data/tree.bmp", "bmp"},
      {"data/tree", ""},
      {"data/tree.", ""},
      {"data/mesh.d/tree", "d/tree"},
      {"data/tree.tar.GZ", "gz"},
      {"data/Tree. TGA ", " tga "},  // only the case changes: nothing is trimmed
  };
  CTextureLoader registry;
  for (const Case& c : cases) {
    char extension[128];
    std::memset(extension, 'x', sizeof extension);
    EXPECT_TRUE(registry.GetExtension(c.name, extension)) << c.name;
    EXPECT_STREQ(extension, c.extension) << c.name;
  }
}

TEST(TextureLoaderExtension, ExtensionTooLongForBufferGivesEmpty) {
  CTextureLoader registry;
  char extension[128];
  const std::string fits = "data/tree." + std::string(127, 'A');
  EXPECT_TRUE(registry.GetExtension(fits.c_str(), extension));
  EXPECT_EQ(std::string(extension), std::string(127, 'a'));
  for (const size_t length : {128u, 129u, 4000u}) {
    const std::string name = "data/tree." + std::string(length, 'T');
    std::memset(extension, 'x', sizeof extension);
    EXPECT_FALSE(registry.GetExtension(name.c_str(), extension)) << length;
    EXPECT_STREQ(extension, "") << length;
  }
}

TEST(TextureLoaderRegistry, BuiltInLoadersFoundByExactExtension) {
  CTextureLoader registry;
  EXPECT_NE(dynamic_cast<CTGAImageLoader*>(registry.FindLoader("tga")), nullptr);
  EXPECT_NE(dynamic_cast<CBMPImageLoader*>(registry.FindLoader("bmp")), nullptr);
  for (const char* other : {"TGA", "tg", "tgax", "", "jpg", "bm", "bmp "}) {
    EXPECT_EQ(registry.FindLoader(other), nullptr) << '"' << other << '"';
  }
}

TEST(TextureLoaderRegistry, LoadSelectsLoaderByExtensionOnly) {
  // Every file holds the same valid TGA: only the name decides whether it is read.
  imagetest::ScratchDir dir("registry");
  struct Case {
    const char* name;
    bool loads;
  };
  const Case cases[] = {
      {"data/Tree.TGA", true},     {"data/tree.tga", true},   {"data/tree.Tga", true},
      {"data/tree", false},        {"data/tree.jpg", false},  {"data/mesh.d/tree", false},
      {"data/tree.", false},       {"data/tree.tgax", false}, {"data/tree.tg", false},
      {"data/tree.tga.bak", false},
  };
  CTextureLoader registry;
  for (const Case& c : cases) {
    const std::string path = dir.write(c.name, onePixelTga());
    CImage* image = nullptr;
    EXPECT_EQ(registry.Load(path.c_str(), &image), c.loads) << c.name;
    EXPECT_EQ(image != nullptr, c.loads) << c.name;
    if (image != nullptr) {
      EXPECT_EQ(image->GetWidth(), 1);
      EXPECT_EQ(image->GetData()[0], 3);
      delete image;
    }
  }
}

TEST(TextureLoaderRegistry, OverlongExtensionMatchesNoLoader) {
  // A loader registered for the first 127 letters must not be chosen for a longer extension.
  int destroyed = 0;
  auto* loader = new CountingLoader(&destroyed);
  {
    CTextureLoader registry;
    ASSERT_TRUE(registry.RegisterLoader(std::string(127, 'q').c_str(), loader));
    for (const size_t length : {128u, 200u, 5000u}) {
      const std::string name = "data/picture." + std::string(length, 'q');
      CImage held;
      CImage* image = &held;  // Load must null it
      EXPECT_FALSE(registry.Load(name.c_str(), &image)) << length;
      EXPECT_EQ(image, nullptr) << length;
    }
    CImage* image = nullptr;
    EXPECT_TRUE(registry.Load(("data/picture." + std::string(127, 'Q')).c_str(), &image));
    delete image;
    EXPECT_EQ(loader->calls, 1);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(TextureLoaderRegistry, RegisteringOverlongExtensionIsRefused) {
  int destroyed = 0;
  CountingLoader loader(&destroyed);
  {
    CTextureLoader registry;
    EXPECT_FALSE(registry.RegisterLoader(std::string(128, 'p').c_str(), &loader));
    EXPECT_EQ(registry.FindLoader(std::string(127, 'p').c_str()), nullptr);
  }
  // Not registered, so not the registry's to delete.
  EXPECT_EQ(destroyed, 0);
}

TEST(TextureLoaderRegistry, FirstRegisteredLoaderWinsAndEveryLoaderIsReleasedOnce) {
  int destroyed = 0;
  auto* shadowed = new CountingLoader(&destroyed);
  auto* shared = new CountingLoader(&destroyed);
  {
    CTextureLoader registry;
    ASSERT_TRUE(registry.RegisterLoader("tga", shadowed));
    ASSERT_TRUE(registry.RegisterLoader("ppm", shared));
    ASSERT_TRUE(registry.RegisterLoader("pgm", shared));
    EXPECT_NE(dynamic_cast<CTGAImageLoader*>(registry.FindLoader("tga")), nullptr);
    EXPECT_EQ(registry.FindLoader("ppm"), shared);
    EXPECT_EQ(registry.FindLoader("pgm"), shared);
  }
  // One loader under two extensions is deleted once (the sanitizer build checks the rest for leaks).
  EXPECT_EQ(destroyed, 2);
}

TEST(TextureLoaderRegistry, FailedLoadNullsCallersPointerAndSaysWhy) {
  imagetest::ScratchDir dir("registry");
  const struct {
    std::string name;
    const char* reason;
  } cases[] = {
      {dir.write("bad.bmp", Bytes{'X', 'Y', 0, 0}), "truncated at byte 4 (its header promises 54 bytes); "},
      {dir.path() + "/missing.tga", "no such file"},
      {dir.path() + "/none", "no file extension to choose a loader by; pictures are read from .tga, .bmp files"},
      {dir.write("a.JPG", Bytes{1}), "no loader for the extension \"jpg\"; pictures are read from .tga, .bmp files"},
  };
  CTextureLoader registry;
  CImage held;
  for (const auto& c : cases) {
    CImage* image = &held;
    EXPECT_FALSE(registry.Load(c.name.c_str(), &image)) << c.name;
    EXPECT_EQ(image, nullptr) << c.name;
    EXPECT_EQ(registry.GetFailure().rfind(c.reason, 0), 0u) << registry.GetFailure();
  }
}

TEST(TextureLoaderRegistry, ImagesOutliveTheRegistry) {
  imagetest::ScratchDir dir("registry");
  const std::string path = dir.write("one.tga", onePixelTga());
  CImage* image = nullptr;
  {
    CTextureLoader registry;
    ASSERT_TRUE(registry.Load(path.c_str(), &image));
  }
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetData()[2], 1);
  delete image;
}

}  // namespace
