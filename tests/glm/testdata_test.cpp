// Third-party models: the Stanford bunny read and prepared, and every
// tinyobjloader edge-case file read or refused with a message, never a crash.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "tests/glm/glm_test_support.h"
#include "tests/support/test_paths.h"

namespace {

const char* const REFUSAL_PREFIXES[] = {
    "glmReadOBJ() failed: ",
    "glmFirstPass(): Unknown token \"",
    "glmReadMTL() failed: can't open material file \"",
    "Error reading texture: ",
};

bool isKnownRefusal(const std::string& message) {
  if (message.empty() || message.back() != '\n') return false;
  for (const char* prefix : REFUSAL_PREFIXES) {
    if (message.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

}  // namespace

TEST(Testdata, BunnyReadsAndPrepares) {
  VELMORA_NEEDS_TESTDATA();
  auto model = glmtest::readModel(supporttest::testdata("obj/real/bunny.obj"));
  ASSERT_TRUE(model);
  EXPECT_EQ(model->nvertices, 13934u);
  EXPECT_EQ(model->nnormals, 13934u);
  EXPECT_EQ(model->ntris, 27864u);
  EXPECT_EQ(glmtest::invariantViolations(*model), "");

  glmFitToUnitCube(model.get());
  glmScaleVertices(model.get(), 2.0f);
  float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (unsigned k = 1; k <= model->nvertices; ++k) {
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], model->vertices[3 * k + a]);
      hi[a] = std::max(hi[a], model->vertices[3 * k + a]);
    }
  }
  float largest = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  EXPECT_NEAR(largest, 2.0f, 1e-5f);
  for (int a = 0; a < 3; ++a) {
    EXPECT_GE(lo[a], -1.0f - 1e-6f);
    EXPECT_LE(hi[a], 1.0f + 1e-6f);
    EXPECT_NEAR(lo[a] + hi[a], 0.0f, 1e-5f) << "axis " << a << " centred";
  }

  glmComputeFacetNormals(model.get());
  testing::internal::CaptureStderr();
  glmVertexNormals(model.get(), 90.0f);
  std::string warnings = testing::internal::GetCapturedStderr();
  EXPECT_EQ(warnings, "");  // every bunny vertex belongs to a triangle
  EXPECT_GE(model->nnormals, model->nvertices);
  EXPECT_LE(model->nnormals, 3 * model->ntris);
  unsigned notUnit = 0;
  for (unsigned n = 1; n <= model->nnormals; ++n) {
    const float* v = &model->normals[3 * n];
    ASSERT_TRUE(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2])) << n;
    if (std::fabs(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) - 1.0f) > 1e-5f) ++notUnit;
  }
  EXPECT_EQ(notUnit, 0u);
  EXPECT_EQ(glmtest::invariantViolations(*model), "");
}

TEST(Testdata, EveryTinyobjloaderFileReadsOrIsRefusedWithAMessage) {
  VELMORA_NEEDS_TESTDATA();
  glmtest::TextureRecorder recorder;
  unsigned read = 0, refused = 0;
  for (const auto& entry : std::filesystem::directory_iterator(supporttest::testdata("obj/tinyobjloader"))) {
    if (entry.path().extension() != ".obj") continue;
    std::string path = entry.path().string();
    SCOPED_TRACE(path);
    std::unique_ptr<ObjModel> model;
    testing::internal::CaptureStdout();
    ReadStatus status = glmReadOBJChecked(path.c_str(), &model);
    testing::internal::GetCapturedStdout();
    if (!status.ok()) {
      ++refused;
      EXPECT_EQ(model, nullptr);
      EXPECT_TRUE(isKnownRefusal(status.message)) << status.message;
      continue;
    }
    ++read;
    ASSERT_TRUE(model);
    EXPECT_EQ(glmtest::invariantViolations(*model), "");
    if (model->nvertices == 0) continue;
    glmFitToUnitCube(model.get());
    glmScaleVertices(model.get(), 2.0f);
    glmComputeFacetNormals(model.get());
    glmVertexNormalsCounted(model.get(), 90.0f, false);
    for (size_t i = 3; i < model->normals.size(); ++i) ASSERT_TRUE(std::isfinite(model->normals[i]));
    EXPECT_EQ(glmtest::invariantViolations(*model), "");
  }
  EXPECT_GT(read, 20u);
  EXPECT_GT(refused, 3u);
}

TEST(Testdata, TinyobjloaderRefusalsNameTheirReason) {
  VELMORA_NEEDS_TESTDATA();
  glmtest::TextureRecorder recorder;
  struct Case {
    const char* file;
    ReadError error;
    std::string tail;  // what the message says after the path
  };
  const Case cases[] = {
      {"issue-140-zero-face-idx.obj", ReadError::BAD_INDEX, "\" at line 16.\n"},      // f 0/0/0 ...
      {"invalid-relative-vertex-index.obj", ReadError::BAD_INDEX, "\" at line 1.\n"},  // f -4 -3 -2, no vertices
      {"invalid-relative-texture-index.obj", ReadError::BAD_INDEX, "\" at line 2.\n"},
      {"skin-weight.obj", ReadError::UNKNOWN_TOKEN, ""},  // vw
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::string path = supporttest::testdata(std::string("obj/tinyobjloader/") + c.file);
    std::unique_ptr<ObjModel> model;
    testing::internal::CaptureStdout();
    ReadStatus status = glmReadOBJChecked(path.c_str(), &model);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(status.error, c.error) << status.message;
    if (!c.tail.empty()) {
      ASSERT_GE(status.message.size(), c.tail.size());
      EXPECT_EQ(status.message.substr(status.message.size() - c.tail.size()), c.tail);
    }
  }
}
