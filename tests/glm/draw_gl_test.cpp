// Drawing in a real GL context: the mode warnings, the GL state each mode
// leaves, materials and textures per group, compiled lists that render and
// can be picked, and the bunny drawn as the scene draws its models.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <set>

#include "tests/glm/glm_test_support.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_paths.h"

using glmtest::TempFolder;

namespace {

const char* W1 = "glmDraw() warning: flat render mode requested with no facet normals defined.\n";
const char* W2 = "glmDraw() warning: smooth render mode requested with no normals defined.\n";
const char* W3 = "glmDraw() warning: texture render mode requested with no texture coordinates defined.\n";
const char* W4 = "glmDraw() warning: flat render mode requested and smooth render mode requested (using smooth).\n";
const char* W5 = "glmDraw() warning: color render mode requested with no materials defined.\n";
const char* W6 = "glmDraw() warning: material render mode requested with no materials defined.\n";
const char* W7 = "glmDraw() warning: color and material render mode requested using only material mode.\n";

const int VIEW = 200;  // the square viewport the rendering tests draw into

// A unit square in the z = 0 plane, as two triangles, with texture coordinates.
const char* SQUARE =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";

// A model with everything glmDraw can use: materials (one with a map), uvs,
// facet and vertex normals. Groups: " shiny" (material shiny, textured),
// " dull" (material dull), "default" (material 0).
struct FullModel {
  TempFolder folder;
  std::unique_ptr<ObjModel> model;

  explicit FullModel(GLuint textureId = 500) {
    glmtest::TextureRecorder recorder;
    glmtest::TextureRecorder::setNextId(textureId);
    folder.write("full.mtl",
                 "newmtl shiny\nKa 0.1 0.2 0.3\nKd 0.4 0.5 0.6\nKs 0.7 0.8 0.9\nNs 500\nd 0.5\nmap_Kd pic.tga\n"
                 "newmtl dull\nKd 0.25 0.5 0.75\nNs 0\n");
    model = glmtest::readModel(folder.write("full.obj", std::string("mtllib full.mtl\n") + SQUARE +
                                                            "f 1/1 2/2 3/3\n"
                                                            "g shiny\nusemtl shiny\nf 1/1 2/2 3/3 4/4\n"
                                                            "g dull\nusemtl dull\nf 1/1 3/3 4/4\n"));
    if (model) {
      glmComputeFacetNormals(model.get());
      glmVertexNormals(model.get(), 90.0f);
    }
  }
};

std::unique_ptr<ObjModel> bareModel(const TempFolder& folder) {
  return glmtest::readModel(folder.write("bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
}

std::string drawCapturingStdout(ObjModel* model, unsigned mode, const char* group = nullptr) {
  testing::internal::CaptureStdout();
  glmDraw(model, mode, group);
  return testing::internal::GetCapturedStdout();
}

std::vector<float> materialOf(GLenum which) {
  std::vector<float> value(4, -1.0f);
  glGetMaterialfv(GL_FRONT, which, value.data());
  return value;
}

GLint integerOf(GLenum which) {
  GLint value = -1;
  glGetIntegerv(which, &value);
  return value;
}

// Orthographic view of [-extent, extent] in x and y onto the VIEW x VIEW
// viewport at the window's corner, cleared to black, no lighting or depth test.
void beginFlatView(float extent) {
  glViewport(0, 0, VIEW, VIEW);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-extent, extent, -extent, extent, -2, 2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3f(1, 1, 1);
}

const unsigned char* pixelAt(const std::vector<unsigned char>& pixels, int x, int y) {
  return &pixels[4 * (static_cast<size_t>(y) * VIEW + x)];
}

class DrawTest : public testing::Test {
 protected:
  void SetUp() override {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glBindTexture(GL_TEXTURE_2D, 0);
  }
  void TearDown() override {
    glPopAttrib();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
};

}  // namespace

TEST_F(DrawTest, ModeWarningsInOrderEachClearingOnlyItsBit) {
  TempFolder folder;
  auto bare = bareModel(folder);
  FullModel full;
  ASSERT_TRUE(bare && full.model);
  struct Case {
    ObjModel* model;
    unsigned mode;
    std::string warnings;
    unsigned reduced;
  };
  const Case cases[] = {
      {bare.get(), DRAW_FLAT, W1, 0},
      {bare.get(), DRAW_SMOOTH, W2, 0},
      {bare.get(), DRAW_TEXTURE, W3, 0},
      {full.model.get(), DRAW_FLAT | DRAW_SMOOTH, W4, DRAW_SMOOTH},
      {bare.get(), DRAW_COLOR, W5, 0},
      {bare.get(), DRAW_MATERIAL, W6, 0},
      {full.model.get(), DRAW_COLOR | DRAW_MATERIAL, W7, DRAW_MATERIAL},
      {bare.get(), 31, std::string(W1) + W2 + W3 + W5 + W6, 0},
      {full.model.get(), 31, std::string(W4) + W7, DRAW_SMOOTH | DRAW_TEXTURE | DRAW_MATERIAL},
      {full.model.get(), DRAW_SMOOTH | DRAW_MATERIAL, "", DRAW_SMOOTH | DRAW_MATERIAL},
      {full.model.get(), DRAW_FLAT | DRAW_TEXTURE | DRAW_COLOR, "", DRAW_FLAT | DRAW_TEXTURE | DRAW_COLOR},
      {bare.get(), 0, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(drawCapturingStdout(c.model, c.mode), c.warnings);
    EXPECT_EQ(glmReduceDrawMode(c.model, c.mode, nullptr), c.reduced);
  }
}

TEST_F(DrawTest, ColorAndMaterialModesSetColorMaterialState) {
  TempFolder folder;
  auto bare = bareModel(folder);
  FullModel full;
  ASSERT_TRUE(bare && full.model);

  glEnable(GL_COLOR_MATERIAL);
  EXPECT_EQ(drawCapturingStdout(full.model.get(), DRAW_COLOR | DRAW_MATERIAL), W7);
  EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));

  // Without materials the material bit is dropped: no state changes, no material calls.
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_EMISSION);  // keep the current colour out of the material
  const float marker[4] = {0.3f, 0.3f, 0.3f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, marker);
  EXPECT_EQ(drawCapturingStdout(bare.get(), DRAW_MATERIAL), W6);
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_EQ(materialOf(GL_AMBIENT), std::vector<float>(marker, marker + 4));

  glDisable(GL_COLOR_MATERIAL);
  glmDraw(full.model.get(), DRAW_COLOR, " dull");
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  std::vector<float> color(4);
  glGetFloatv(GL_CURRENT_COLOR, color.data());
  EXPECT_EQ(color, (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
}

TEST_F(DrawTest, MaterialModeAppliesTheGroupsMaterial) {
  FullModel full;
  ASSERT_TRUE(full.model);
  glmDraw(full.model.get(), DRAW_MATERIAL, " shiny");
  EXPECT_EQ(materialOf(GL_AMBIENT), (std::vector<float>{0.1f, 0.2f, 0.3f, 1.0f}));
  EXPECT_EQ(materialOf(GL_DIFFUSE), (std::vector<float>{0.4f, 0.5f, 0.6f, 0.5f}));
  EXPECT_EQ(materialOf(GL_SPECULAR), (std::vector<float>{0.7f, 0.8f, 0.9f, 1.0f}));
  float shininess = -1;
  glGetMaterialfv(GL_BACK, GL_SHININESS, &shininess);
  EXPECT_EQ(shininess, 64.0f);

  // The whole model: "default" is drawn last, so its material is the one left.
  glmDraw(full.model.get(), DRAW_MATERIAL);
  EXPECT_EQ(materialOf(GL_DIFFUSE), (std::vector<float>{0.8f, 0.8f, 0.8f, 1.0f}));
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
  EXPECT_EQ(shininess, 65.0f);
}

TEST_F(DrawTest, TextureModeBindsTheMaterialsTextureOrNone) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  FullModel full(texture);
  ASSERT_TRUE(full.model);
  ASSERT_EQ(full.model->ntex, 1u);
  ASSERT_EQ(full.model->tex[0].id, texture);

  glDisable(GL_TEXTURE_2D);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glmDraw(full.model.get(), DRAW_TEXTURE, " shiny");
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(integerOf(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture));
  GLint envMode = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
  EXPECT_EQ(envMode, GL_MODULATE);

  glmDraw(full.model.get(), DRAW_TEXTURE, " dull");  // no map: texture 0
  EXPECT_EQ(integerOf(GL_TEXTURE_BINDING_2D), 0);
  glDeleteTextures(1, &texture);
}

TEST_F(DrawTest, TextureModeWithoutCoordinatesLeavesTexturingAlone) {
  TempFolder folder;
  auto bare = bareModel(folder);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glDisable(GL_TEXTURE_2D);
  EXPECT_EQ(drawCapturingStdout(bare.get(), DRAW_TEXTURE), W3);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(integerOf(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture));
  glDeleteTextures(1, &texture);
}

TEST_F(DrawTest, UnknownGroupNameDrawsNothingButSetsGlobalState) {
  FullModel full;
  ASSERT_TRUE(full.model);
  beginFlatView(2.0f);
  glDisable(GL_TEXTURE_2D);
  glmDraw(full.model.get(), DRAW_TEXTURE, "no such group");
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  std::vector<unsigned char> pixels = supporttest::readBackBuffer(0, 0, VIEW, VIEW);
  for (size_t i = 0; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i], 0) << "pixel " << i / 4;
}

TEST_F(DrawTest, TexturedSquareShowsItsTextureThroughTheCoordinates) {
  // A 2 x 1 texture, red then green: the left half of the square is red, the right green.
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  const unsigned char texels[] = {255, 0, 0, 0, 255, 0};
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

  TempFolder folder;
  glmtest::TextureRecorder recorder;
  glmtest::TextureRecorder::setNextId(texture);
  folder.write("sq.mtl", "newmtl pic\nmap_Kd pic.tga\n");
  auto model = glmtest::readModel(folder.write("sq.obj", std::string("mtllib sq.mtl\nusemtl pic\n") + SQUARE +
                                                             "f 1/1 2/2 3/3 4/4\n"));
  ASSERT_TRUE(model);
  glmFitToUnitCube(model.get());
  glmScaleVertices(model.get(), 2.0f);
  beginFlatView(2.0f);
  glmDraw(model.get(), DRAW_TEXTURE);
  std::vector<unsigned char> pixels = supporttest::readBackBuffer(0, 0, VIEW, VIEW);
  const unsigned char* left = pixelAt(pixels, 70, 100);
  const unsigned char* right = pixelAt(pixels, 130, 100);
  EXPECT_EQ((std::vector<int>{left[0], left[1], left[2]}), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ((std::vector<int>{right[0], right[1], right[2]}), (std::vector<int>{0, 255, 0}));
  glDeleteTextures(1, &texture);
}

TEST_F(DrawTest, CompiledListCoversTheFittedSquareAndCanBePicked) {
  TempFolder folder;
  auto model = glmtest::readModel(folder.write("square.obj", std::string(SQUARE) + "v 0.5 0.5 0\nf 1 2 3 4\n"));
  ASSERT_TRUE(model);
  glmFitToUnitCube(model.get());
  glmScaleVertices(model.get(), 2.0f);  // the square now spans [-1, 1]
  GLuint list = glmCompileList(model.get(), 0);
  ASSERT_NE(list, 0u);
  EXPECT_TRUE(glIsList(list));

  // Drawn into [-2, 2]: the square covers the middle half of the viewport.
  beginFlatView(2.0f);
  glCallList(list);
  std::vector<unsigned char> pixels = supporttest::readBackBuffer(0, 0, VIEW, VIEW);
  for (int y = 0; y < VIEW; y += 7) {
    for (int x = 0; x < VIEW; x += 7) {
      bool inside = x > 52 && x < 148 && y > 52 && y < 148;
      bool outside = x < 48 || x > 152 || y < 48 || y > 152;
      if (inside) {
        ASSERT_EQ(pixelAt(pixels, x, y)[0], 255) << x << "," << y;
      }
      if (outside) {
        ASSERT_EQ(pixelAt(pixels, x, y)[0], 0) << x << "," << y;
      }
    }
  }

  // Selection: a pick inside the square hits it, one in the corner does not.
  GLint viewport[4] = {0, 0, VIEW, VIEW};
  for (int pick : {100, 20}) {
    GLuint hitsBuffer[64];
    glSelectBuffer(64, hitsBuffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(7);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPickMatrix(pick, pick, 4, 4, viewport);
    glOrtho(-2, 2, -2, 2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glCallList(list);
    GLint hits = glRenderMode(GL_RENDER);
    EXPECT_EQ(hits, pick == 100 ? 1 : 0) << "pick at " << pick;
  }
  glDeleteLists(list, 1);
}

TEST_F(DrawTest, SceneModeListDisablesColorMaterialAndLeavesLastGroupsMaterial) {
  FullModel full;
  ASSERT_TRUE(full.model);
  testing::internal::CaptureStdout();
  GLuint list = glmCompileList(full.model.get(), DRAW_SMOOTH | DRAW_MATERIAL);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  glEnable(GL_COLOR_MATERIAL);
  glCallList(list);
  EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_EQ(materialOf(GL_DIFFUSE), (std::vector<float>{0.8f, 0.8f, 0.8f, 1.0f}));
  glDeleteLists(list, 1);
}

TEST_F(DrawTest, BunnyPreparedCompiledAndDrawnAsTheSceneDoes) {
  VELMORA_NEEDS_TESTDATA();
  ObjModel* bunny = glmReadOBJ(supporttest::testdata("obj/real/bunny.obj").c_str());
  ASSERT_NE(bunny, nullptr);
  EXPECT_EQ(bunny->nvertices, 13934u);
  EXPECT_EQ(bunny->ntris, 27864u);
  glmFitToUnitCube(bunny);
  glmScaleVertices(bunny, 2.0f);
  glmComputeFacetNormals(bunny);
  glmVertexNormals(bunny, 90.0f);
  testing::internal::CaptureStdout();
  GLuint list = glmCompileList(bunny, DRAW_SMOOTH | DRAW_MATERIAL);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), W6);  // the bunny names no material library
  ASSERT_TRUE(glIsList(list));

  // Silhouette: white on black, inside the projected [-1, 1] square only, and a good part of it.
  beginFlatView(1.25f);
  glCallList(list);
  std::vector<unsigned char> pixels = supporttest::readBackBuffer(0, 0, VIEW, VIEW);
  int covered = 0, stray = 0;
  for (int y = 0; y < VIEW; ++y) {
    for (int x = 0; x < VIEW; ++x) {
      if (pixelAt(pixels, x, y)[0] == 0) continue;
      bool inBox = x >= 19 && x <= 181 && y >= 19 && y <= 181;  // [-1, 1] maps to 20 .. 180
      inBox ? ++covered : ++stray;
    }
  }
  EXPECT_EQ(stray, 0);
  EXPECT_GT(covered, 160 * 160 / 4);

  // Lit with its vertex normals, the surface shows many shades.
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glCallList(list);
  pixels = supporttest::readBackBuffer(0, 0, VIEW, VIEW);
  std::set<int> shades;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    if (pixels[i] != 0) shades.insert(pixels[i]);
  }
  EXPECT_GT(shades.size(), 30u);
  glDeleteLists(list, 1);
  glmDelete(bunny);
}

TEST_F(DrawTest, MaterialTextureLoadedThroughTheImageLibrary) {
  // A 2 x 1 uncompressed 24-bit TGA: red, green (stored blue-green-red).
  const unsigned char picture[] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 0, 0, 255, 0, 255, 0};
  TempFolder folder;
  folder.write("pic.tga", std::string(reinterpret_cast<const char*>(picture), sizeof picture));
  folder.write("pic.mtl", "newmtl a\nmap_Kd pic.tga\nnewmtl b\nmap_Kd pic.tga\n");
  testing::internal::CaptureStderr();
  ObjModel* model = glmReadOBJ(folder.write("pic.obj", "mtllib pic.mtl\n").c_str());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Loaded texture: " + folder.path("pic.tga") + "\n");
  ASSERT_EQ(model->ntex, 1u);
  const ObjTexture& texture = model->tex[0];
  EXPECT_TRUE(glIsTexture(texture.id));
  EXPECT_EQ(texture.width, 2.0f);
  EXPECT_EQ(texture.height, 1.0f);
  glBindTexture(GL_TEXTURE_2D, texture.id);
  GLint minFilter = 0, wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(wrap, GL_REPEAT);
  EXPECT_EQ(model->mtls[1].texture, 0);
  EXPECT_EQ(model->mtls[2].texture, 0);
  GLuint id = texture.id;
  glDeleteTextures(1, &id);
  glmDelete(model);
}

