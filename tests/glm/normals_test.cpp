// Fitting and normals: the fit's values, facet normals, the vertex-normal
// averaging at 0, 89 and 90 degrees, and the guards for models without direction or extent.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/glm/glm_test_support.h"

using glmtest::TempFolder;

namespace {

// A unit cube of eight shared vertices; each side a quad, counter-clockwise
// seen from outside, split by the reader into two triangles (a b c), (a c d).
const char* CUBE =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
    "v 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "f 1 4 3 2\n"   // -z
    "f 5 6 7 8\n"   // +z
    "f 1 2 6 5\n"   // -y
    "f 4 8 7 3\n"   // +y
    "f 1 5 8 4\n"   // -x
    "f 2 3 7 6\n";  // +x

const float SIDE_NORMALS[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};

// The cube's side of triangle t: the reader stores two triangles per side in file order.
int sideOf(unsigned t) { return static_cast<int>(t / 2); }

const float* normalAt(const ObjModel& model, unsigned t, int corner) {
  return &model.normals[3 * static_cast<size_t>(model.tris[t].normal[corner])];
}

std::unique_ptr<ObjModel> preparedCube(const TempFolder& folder, float angle) {
  auto model = glmtest::readModel(folder.write("cube.obj", CUBE));
  if (!model) return model;
  glmComputeFacetNormals(model.get());
  glmVertexNormals(model.get(), angle);
  return model;
}

void expectUnitOrZeroAndFinite(const ObjModel& model) {
  for (size_t i = 3; i < model.normals.size(); ++i) ASSERT_TRUE(std::isfinite(model.normals[i])) << i;
  for (size_t i = 3; i < model.facetnorms.size(); ++i) ASSERT_TRUE(std::isfinite(model.facetnorms[i])) << i;
}

}  // namespace

TEST(Fit, CentresAndScalesLargestEdgeToOne) {
  TempFolder folder;
  auto model = glmtest::readModel(folder.write("box.obj", "v 0 -2 5\nv 10 2 6\nv 3 0 5.5\n"));
  ASSERT_TRUE(model);
  EXPECT_FLOAT_EQ(glmFitToUnitCube(model.get()), 0.1f);
  const float* v = model->vertices.data();
  EXPECT_FLOAT_EQ(v[3], -0.5f);
  EXPECT_FLOAT_EQ(v[4], -0.2f);
  EXPECT_FLOAT_EQ(v[5], -0.05f);
  EXPECT_FLOAT_EQ(v[6], 0.5f);
  EXPECT_FLOAT_EQ(v[7], 0.2f);
  EXPECT_FLOAT_EQ(v[8], 0.05f);
  EXPECT_FLOAT_EQ(v[9], -0.2f);
  EXPECT_NEAR(v[10], 0.0f, 1e-7f);
  EXPECT_NEAR(v[11], 0.0f, 1e-7f);
  glmScaleVertices(model.get(), 2.0f);
  EXPECT_FLOAT_EQ(v[3], -1.0f);
  EXPECT_FLOAT_EQ(v[6], 1.0f);
  EXPECT_FLOAT_EQ(v[4], -0.4f);
}

TEST(Fit, ModelWithoutExtentIsOnlyCentred) {
  TempFolder folder;
  auto model = glmtest::readModel(folder.write("point.obj", "v 3 3 3\nv 3 3 3\n"));
  ASSERT_TRUE(model);
  EXPECT_EQ(glmFitToUnitCube(model.get()), 1.0f);
  for (size_t i = 3; i < model->vertices.size(); ++i) EXPECT_EQ(model->vertices[i], 0.0f);
  // An extent whose inverse is no float: centred too, never scaled to infinity.
  model = glmtest::readModel(folder.write("tiny.obj", "v 0 0 0\nv 1e-43 0 0\n"));
  EXPECT_EQ(glmFitToUnitCube(model.get()), 1.0f);
  for (size_t i = 3; i < model->vertices.size(); ++i) EXPECT_TRUE(std::isfinite(model->vertices[i]));
}

TEST(Fit, ModelWithoutVerticesIsRefused) {
  ObjModel model;
  model.path = "empty.obj";
  model.vertices.assign(3, 0.0f);
  float scale = -1;
  ReadStatus status = glmFitToUnitCubeChecked(&model, &scale);
  EXPECT_EQ(status.error, ReadError::NO_VERTICES);
  EXPECT_EQ(status.message, "glmFitToUnitCube() failed: model \"empty.obj\" has no vertices.\n");
  EXPECT_FALSE(status.toStdout);
  EXPECT_EQ(scale, -1.0f);
}

TEST(VectorOps, DotCrossNormalizeLarger) {
  float x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, n[3];
  glmCrossProduct(x, y, n);
  EXPECT_EQ((std::vector<float>(n, n + 3)), (std::vector<float>{0, 0, 1}));
  float a[3] = {1, 2, 3}, b[3] = {4, -5, 6};
  EXPECT_EQ(glmDotProduct(a, b), 12.0f);
  float v[3] = {3, 0, 4};
  glmNormalizeVector(v);
  EXPECT_EQ((std::vector<float>(v, v + 3)), (std::vector<float>{0.6f, 0.0f, 0.8f}));
  float zero[3] = {0, 0, 0};
  glmNormalizeVector(zero);
  EXPECT_EQ((std::vector<float>(zero, zero + 3)), (std::vector<float>{0, 0, 0}));
  float bad[3] = {NAN, 1, 0};
  glmNormalizeVector(bad);
  EXPECT_EQ((std::vector<float>(bad, bad + 3)), (std::vector<float>{0, 0, 0}));
  EXPECT_EQ(glmLarger(1, 2), 2.0f);
  EXPECT_EQ(glmLarger(2, 1), 2.0f);
}

TEST(FacetNormals, OutwardUnitNormalPerTriangle) {
  TempFolder folder;
  auto model = glmtest::readModel(folder.write("cube.obj", CUBE));
  ASSERT_TRUE(model);
  glmComputeFacetNormals(model.get());
  ASSERT_EQ(model->nfacetnorms, 12u);
  ASSERT_EQ(model->facetnorms.size(), 39u);
  for (unsigned t = 0; t < 12; ++t) {
    EXPECT_EQ(model->tris[t].facet, t + 1);
    const float* n = &model->facetnorms[3 * (t + 1)];
    for (int k = 0; k < 3; ++k) EXPECT_EQ(n[k], SIDE_NORMALS[sideOf(t)][k]) << "triangle " << t;
  }
}

TEST(VertexNormals, CubeAt90AveragesEveryUse) {
  // Worked out by hand from the faces above: each triangle that uses a corner
  // adds its side's normal once, so a side split through the corner counts
  // twice. Vertex 2, (1,0,0): -z once, -y once, +x twice.
  const float s3 = 1 / std::sqrt(3.0f), s6 = 1 / std::sqrt(6.0f);
  const float expected[8][3] = {
      {-s3, -s3, -s3},         {2 * s6, -s6, -s6}, {s6, s6, -2 * s6}, {-s6, 2 * s6, -s6},
      {-s6, -s6, 2 * s6},      {s6, -2 * s6, s6},  {s3, s3, s3},      {-2 * s6, s6, s6},
  };
  TempFolder folder;
  auto model = preparedCube(folder, 90.0f);
  ASSERT_TRUE(model);
  EXPECT_EQ(model->nnormals, 8u);
  EXPECT_EQ(model->normals.size(), 27u);
  for (unsigned t = 0; t < 12; ++t) {
    for (int c = 0; c < 3; ++c) {
      const unsigned vertex = model->tris[t].vertex[c];
      ASSERT_GE(vertex, 1u);
      ASSERT_LE(vertex, 8u);
      // One normal per vertex, in vertex order.
      EXPECT_EQ(model->tris[t].normal[c], vertex);
      for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(normalAt(*model, t, c)[k], expected[vertex - 1][k], 1e-6f) << "vertex " << vertex;
    }
  }
}

TEST(VertexNormals, CubeAt0GivesEveryCornerItsOwnFacetNormal) {
  TempFolder folder;
  auto model = preparedCube(folder, 0.0f);
  ASSERT_TRUE(model);
  EXPECT_EQ(model->nnormals, 36u);
  for (unsigned t = 0; t < 12; ++t) {
    for (int c = 0; c < 3; ++c) {
      for (int k = 0; k < 3; ++k) EXPECT_EQ(normalAt(*model, t, c)[k], SIDE_NORMALS[sideOf(t)][k]);
    }
  }
}

TEST(VertexNormals, CubeAt89AveragesOnlyTheHeadTrianglesSide) {
  TempFolder folder;
  auto model = preparedCube(folder, 89.0f);
  ASSERT_TRUE(model);
  // At each vertex the newest triangle using it is the reference: its side's uses
  // share one normal, every other use gets a copy of its own.
  unsigned expected = 0;
  for (unsigned vertex = 1; vertex <= 8; ++vertex) {
    int headSide = -1;
    unsigned uses = 0, sameSide = 0;
    for (unsigned t = 0; t < 12; ++t) {
      for (int c = 0; c < 3; ++c) {
        if (model->tris[t].vertex[c] == vertex) {
          ++uses;
          headSide = sideOf(t);
        }
      }
    }
    for (unsigned t = 0; t < 12; ++t) {
      for (int c = 0; c < 3; ++c) {
        if (model->tris[t].vertex[c] == vertex && sideOf(t) == headSide) ++sameSide;
      }
    }
    expected += 1 + (uses - sameSide);
  }
  EXPECT_EQ(model->nnormals, expected);
  EXPECT_GT(expected, 8u);
  EXPECT_LT(expected, 36u);
  for (unsigned t = 0; t < 12; ++t) {
    for (int c = 0; c < 3; ++c) {
      for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(normalAt(*model, t, c)[k], SIDE_NORMALS[sideOf(t)][k]);
    }
  }
}

TEST(VertexNormals, ArrayIsOrderedByVertexWithNewestUseFirst) {
  TempFolder folder;
  auto model = glmtest::readModel(folder.write("two.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 4 2\n"));
  ASSERT_TRUE(model);
  glmComputeFacetNormals(model.get());  // triangle 0 faces +z, triangle 1 faces +y
  glmVertexNormals(model.get(), 0.0f);
  ASSERT_EQ(model->nnormals, 6u);
  EXPECT_EQ(model->tris[1].normal[0], 1u);
  EXPECT_EQ(model->tris[0].normal[0], 2u);
  EXPECT_EQ(model->tris[1].normal[2], 3u);
  EXPECT_EQ(model->tris[0].normal[1], 4u);
  EXPECT_EQ(model->tris[0].normal[2], 5u);
  EXPECT_EQ(model->tris[1].normal[1], 6u);
  EXPECT_EQ((std::vector<float>(&model->normals[3], &model->normals[9])), (std::vector<float>{0, 1, 0, 0, 0, 1}));

  glmVertexNormals(model.get(), 90.0f);  // perpendicular sides are averaged at 90 degrees
  ASSERT_EQ(model->nnormals, 4u);
  const float half = 1.0f / std::sqrt(2.0f);
  EXPECT_NEAR(model->normals[3 + 1], half, 1e-6f);
  EXPECT_NEAR(model->normals[3 + 2], half, 1e-6f);
  EXPECT_EQ(model->tris[0].normal[0], 1u);
  EXPECT_EQ(model->tris[1].normal[0], 1u);
}

TEST(VertexNormals, UnusedVertexIsReportedOnStandardError) {
  TempFolder folder;
  auto model = glmtest::readModel(folder.write("unused.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nv 6 6 6\nf 1 2 3\n"));
  ASSERT_TRUE(model);
  glmComputeFacetNormals(model.get());
  testing::internal::CaptureStderr();
  glmVertexNormals(model.get(), 90.0f);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "glmVertexNormals(): vertex w/o a triangle\nglmVertexNormals(): vertex w/o a triangle\n");
  EXPECT_EQ(model->nnormals, 3u);
  EXPECT_EQ(glmVertexNormalsCounted(model.get(), 90.0f, false), 2u);
}

TEST(VertexNormals, DegenerateAndNonFiniteTrianglesStayFinite) {
  const char* files[] = {
      "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 4\n",  // collinear triangle next to a real one
      "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 1 1\nf 1 2 3\n",            // one corner three times
      "v nan 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 2 3 4\n",  // a NaN corner
      "v 1e30 0 0\nv -1e30 0 0\nv 0 1e30 0\nf 1 2 3\n",             // cross product overflows
  };
  TempFolder folder;
  for (const char* text : files) {
    SCOPED_TRACE(text);
    auto model = glmtest::readModel(folder.write("degenerate.obj", text));
    ASSERT_TRUE(model);
    glmComputeFacetNormals(model.get());
    for (float angle : {90.0f, 0.0f, 180.0f}) {
      glmVertexNormals(model.get(), angle);
      expectUnitOrZeroAndFinite(*model);
    }
  }
  auto model = glmtest::readModel(folder.write("flat.obj", files[0]));
  glmComputeFacetNormals(model.get());
  EXPECT_EQ((std::vector<float>(&model->facetnorms[3], &model->facetnorms[6])), (std::vector<float>{0, 0, 0}));
  EXPECT_EQ((std::vector<float>(&model->facetnorms[6], &model->facetnorms[9])), (std::vector<float>{0, 0, 1}));
}

TEST(VertexNormals, TriangleNamingAVertexTwiceGetsValidIndicesAtEveryCorner) {
  // The file's normal indices are large; after the normals are rebuilt no corner
  // may keep one of them.
  TempFolder folder;
  std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (int i = 0; i < 9; ++i) text += "vn 0 0 1\n";
  text += "f 1//9 2//9 1//9\nf 1//9 2//9 3//9\n";
  auto model = glmtest::readModel(folder.write("twice.obj", text));
  ASSERT_TRUE(model);
  glmComputeFacetNormals(model.get());
  for (float angle : {90.0f, 0.0f}) {
    glmVertexNormals(model.get(), angle);
    for (unsigned t = 0; t < model->ntris; ++t) {
      for (int c = 0; c < 3; ++c) {
        EXPECT_GE(model->tris[t].normal[c], 1u);
        EXPECT_LE(model->tris[t].normal[c], model->nnormals);
      }
    }
  }
  // At angle 0 each use is its own copy: 3 uses of vertex 1 and 2 of vertex 2, 1 of vertex 3.
  EXPECT_EQ(model->nnormals, 6u);
}
