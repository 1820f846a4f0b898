// MTL reading: statements, shininess scaling, alpha, and texture sharing and paths.
#include <gtest/gtest.h>

#include "tests/glm/glm_test_support.h"

using glmtest::TempFolder;
using glmtest::TextureRecorder;

namespace {

// Reads a model whose only statement names `library`, written with `text`.
std::unique_ptr<ObjModel> readLibrary(const TempFolder& folder, const std::string& text) {
  folder.write("lib.mtl", text);
  return glmtest::readModel(folder.write("model.obj", "mtllib lib.mtl\n"));
}

}  // namespace

TEST(MtlReader, LibraryWithoutNewmtlSetsTheDefaultMaterial) {
  TempFolder folder;
  auto model = readLibrary(folder, "Kd 1 0.5 0.25\nKa 0.1 0.2 0.3\nKs 0.4 0.5 0.6\n");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->nmtls, 1u);
  const ObjMaterial& m = model->mtls[0];
  EXPECT_EQ(m.name, "default");
  EXPECT_FLOAT_EQ(m.diffuse[0], 1.0f);
  EXPECT_FLOAT_EQ(m.diffuse[1], 0.5f);
  EXPECT_FLOAT_EQ(m.diffuse[2], 0.25f);
  EXPECT_FLOAT_EQ(m.diffuse[3], 1.0f);
  EXPECT_FLOAT_EQ(m.ambient[2], 0.3f);
  EXPECT_FLOAT_EQ(m.ambient[3], 1.0f);
  EXPECT_FLOAT_EQ(m.specular[0], 0.4f);
  EXPECT_FLOAT_EQ(m.specular[3], 1.0f);
}

TEST(MtlReader, NewMaterialsStartWithTheDefaults) {
  TempFolder folder;
  auto model = readLibrary(folder, "newmtl plain\n");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->nmtls, 2u);
  const ObjMaterial& m = model->mtls[1];
  EXPECT_EQ(m.name, "plain");
  EXPECT_EQ((std::vector<float>(m.diffuse, m.diffuse + 4)), (std::vector<float>{0.8f, 0.8f, 0.8f, 1.0f}));
  EXPECT_EQ((std::vector<float>(m.ambient, m.ambient + 4)), (std::vector<float>{0.2f, 0.2f, 0.2f, 1.0f}));
  EXPECT_EQ((std::vector<float>(m.specular, m.specular + 4)), (std::vector<float>{0.0f, 0.0f, 0.0f, 1.0f}));
  EXPECT_EQ(m.shininess, 65.0f);
  EXPECT_EQ(m.texture, -1);
  EXPECT_TRUE(m.mapfile.empty());
}

TEST(MtlReader, NsScalesFromThousandToOpenGLRange) {
  struct Case {
    const char* line;
    float shininess;
    float tolerance;
  };
  const Case cases[] = {
      {"Ns 1000\n", 128.0f, 0.0f},
      {"Ns 500\n", 64.0f, 0.0f},
      {"Ns 96.078431\n", 12.298039f, 1e-4f},  // 96.078431 / 1000 * 128
      {"Ni 1.5\n", 65.0f, 0.0f},              // not Ns: the value is skipped as a token
      {"", 65.0f, 0.0f},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto model = readLibrary(folder, std::string("newmtl m\n") + c.line);
    ASSERT_TRUE(model);
    EXPECT_NEAR(model->mtls[1].shininess, c.shininess, c.tolerance);
  }
}

TEST(MtlReader, TrAndDBothSetDiffuseAlpha) {
  TempFolder folder;
  auto model = readLibrary(folder, "newmtl a\nTr 0.25\nnewmtl b\nd 0.25\nnewmtl c\nTf 1 1 1\nnewmtl d\n");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->nmtls, 5u);
  EXPECT_FLOAT_EQ(model->mtls[1].diffuse[3], 0.25f);
  EXPECT_FLOAT_EQ(model->mtls[2].diffuse[3], 0.25f);
  EXPECT_FLOAT_EQ(model->mtls[3].diffuse[3], 1.0f);  // Tf changes nothing
  EXPECT_EQ(model->mtls[4].name, "d");
}

TEST(MtlReader, SharedMapLoadsOnceFromTheModelsDirectory) {
  TempFolder folder;
  TextureRecorder recorder;
  auto model = readLibrary(folder, "newmtl a\nmap_Kd wheel.tga\nnewmtl b\nmap_Kd wheel.tga\nnewmtl c\nmap_Kd   body.tga\n");
  ASSERT_TRUE(model);
  ASSERT_EQ(recorder.requests(), (std::vector<std::string>{folder.path("wheel.tga"), folder.path("body.tga")}));
  ASSERT_EQ(model->ntex, 2u);
  EXPECT_EQ(model->tex[0].name, "wheel.tga\n");  // the line end stays on the key
  EXPECT_EQ(model->tex[1].name, "body.tga\n");
  EXPECT_EQ(model->tex[0].id, 101u);
  EXPECT_EQ(model->tex[1].id, 102u);
  EXPECT_EQ(model->tex[0].width, 64.0f);
  EXPECT_EQ(model->tex[0].height, 32.0f);
  EXPECT_EQ(model->mtls[1].texture, 0);
  EXPECT_EQ(model->mtls[2].texture, 0);
  EXPECT_EQ(model->mtls[3].texture, 1);
  EXPECT_EQ(model->mtls[3].mapfile, "   body.tga\n");
}

TEST(MtlReader, MapPathsFollowTheModelsDirectoryAndDriveRule) {
  struct Case {
    const char* mapLine;
    const char* modelPath;  // relative to the folder, "" for the folder itself
    std::string expected;   // relative to the folder unless absolute
    bool absolute;
  };
  const Case cases[] = {
      {"map_Kd wheel.tga\n", "", "wheel.tga", false},
      {"map_Kd wheel.tga\r\n", "", "wheel.tga", false},
      {"map_Kd wheel.tga", "", "wheel.tga", false},  // no line end at the end of the file
      {"map_Kd sub/wheel.tga\n", "", "sub/wheel.tga", false},
      {"map_Kd C:\\tex\\wheel.tga\n", "", "C:\\tex\\wheel.tga", true},
      // Blanks and tabs around the name would otherwise end up in the extension.
      {"map_Kd \twheel.tga\n", "", "wheel.tga", false},
      {"map_Kd wheel.tga \t \r\n", "", "wheel.tga", false},
      {"map_Kd  my wheel.tga\t\n", "", "my wheel.tga", false},
      {"map_Kd /usr/share/wheel.tga\n", "", "/usr/share/wheel.tga", true},  // rooted: used as it is
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mapLine);
    TextureRecorder recorder;
    auto model = readLibrary(folder, std::string("newmtl a\n") + c.mapLine);
    ASSERT_TRUE(model);
    std::string expected = c.absolute ? c.expected : folder.path(c.expected);
    EXPECT_EQ(recorder.requests(), (std::vector<std::string>{expected}));
  }
}

TEST(MtlReader, RootedLibraryNameIsUsedAsItIs) {
  TempFolder folder;
  const std::string library = folder.write("abs.mtl", "newmtl rooted\n");
  const std::string model = folder.write("sub.obj", "mtllib " + library + "\n");
  auto read = glmtest::readModel(model);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->nmtls, 2u);
  EXPECT_EQ(read->mtls[1].name, "rooted");
}

TEST(MtlReader, MapKdInModelWithoutDirectoryIsRelativeToWorkingDirectory) {
  ObjModel model;
  model.path = "kart.obj";
  TextureRecorder recorder;
  EXPECT_EQ(glmAcquireTexture(&model, " wheel.tga\n"), 0u);
  EXPECT_EQ(glmAcquireTexture(&model, "wheel.tga\n"), 0u);  // same key once the blank is gone
  EXPECT_EQ(glmAcquireTexture(&model, "wheel.tga\r\n"), 1u);
  EXPECT_EQ(recorder.requests(), (std::vector<std::string>{"wheel.tga", "wheel.tga"}));
  model.path = "data/models/go-carts/GO-CART-BLUE.obj";
  EXPECT_EQ(glmAcquireTexture(&model, " tyre.tga\n"), 2u);
  EXPECT_EQ(recorder.requests().back(), "data/models/go-carts/tyre.tga");
}

TEST(MtlReader, OtherMapsConsumeTheirLineAndLoadNothing) {
  TempFolder folder;
  TextureRecorder recorder;
  auto model = readLibrary(folder, "newmtl a\nmap_Kd first.tga\nmap_Ka wheel.tga\nnewmtl b\nmap_Kd one.tga\nmap_Kd two.tga\n");
  ASSERT_TRUE(model);
  EXPECT_EQ(recorder.requests(), (std::vector<std::string>{folder.path("first.tga"), folder.path("one.tga"),
                                                           folder.path("two.tga")}));
  EXPECT_EQ(model->mtls[1].texture, 0);        // map_Ka left the index alone
  EXPECT_TRUE(model->mtls[1].mapfile.empty());  // but no map text is kept
  EXPECT_EQ(model->mtls[2].texture, 2);        // the second map_Kd wins
  EXPECT_EQ(model->mtls[2].mapfile, " two.tga\n");
}

TEST(MtlReader, NewmtlSeenOnlyByTheReadingPassIsDropped) {
  // The counting pass skips the rest of the Kd line; the reading pass reads the
  // three numbers and then meets "newmtl" and a map meant for it.
  TempFolder folder;
  TextureRecorder recorder;
  auto model = readLibrary(folder, "Kd 1 1 1 newmtl extra\nKd 0 0 0\nmap_Kd extra.tga\n");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->nmtls, 1u);
  EXPECT_FLOAT_EQ(model->mtls[0].diffuse[0], 1.0f);
  EXPECT_TRUE(recorder.requests().empty());
  EXPECT_EQ(glmtest::invariantViolations(*model), "");
}
