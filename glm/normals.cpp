// Facet and vertex normals, with the small vector operations they use. Float
// arithmetic throughout, with the roundings noted where a double step is part
// of the result.
#include "glm/normals.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "glm/check.h"

namespace {

const float NO_DIRECTION[3] = {0.0f, 0.0f, 0.0f};

// The facet normal of triangle i; a facet index outside the array (facet
// normals computed before the triangles changed) reads as no direction.
const float* facetNormalOf(const ObjModel& model, unsigned triangle) {
  unsigned facet = model.tris[triangle].facet;
  if (facet == 0 || facet > model.nfacetnorms || 3 * static_cast<size_t>(facet) + 2 >= model.facetnorms.size()) {
    return NO_DIRECTION;
  }
  return &model.facetnorms[3 * static_cast<size_t>(facet)];
}

// One corner's use of a vertex. Recording the corner (rather than searching the
// triangle for the vertex) gives a triangle that names a vertex twice a normal
// index at each of those corners, never a stale index into a replaced array.
struct ObjVertexUse {
  unsigned triangle;
  unsigned char corner;
  bool averaged;
  unsigned next;  // index of the next use of the same vertex, or NO_USE
};

constexpr unsigned NO_USE = static_cast<unsigned>(-1);

}  // namespace

float glmDotProduct(const float* u, const float* v) {
  GLM_ASSERT(u, "u");
  GLM_ASSERT(v, "v");
  return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

void glmCrossProduct(const float* u, const float* v, float* n) {
  GLM_ASSERT(u, "u");
  GLM_ASSERT(v, "v");
  GLM_ASSERT(n, "n");
  n[0] = u[1] * v[2] - u[2] * v[1];
  n[1] = u[2] * v[0] - u[0] * v[2];
  n[2] = u[0] * v[1] - u[1] * v[0];
}

void glmNormalizeVector(float* v) {
  GLM_ASSERT(v, "v");
  float length = static_cast<float>(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
  if (!(length > 0.0f) || !std::isfinite(length)) {
    v[0] = v[1] = v[2] = 0.0f;
    return;
  }
  v[0] /= length;
  v[1] /= length;
  v[2] /= length;
}

void glmComputeFacetNormals(ObjModel* model) {
  GLM_ASSERT(model, "model");
  GLM_ASSERT(!model->vertices.empty(), "model->vertices");
  model->nfacetnorms = model->ntris;
  model->facetnorms.assign(3 * (static_cast<size_t>(model->ntris) + 1), 0.0f);
  const float* v = model->vertices.data();
  for (unsigned i = 0; i < model->ntris; ++i) {
    ObjTriangle& triangle = model->tris[i];
    triangle.facet = i + 1;
    const float* p0 = &v[3 * static_cast<size_t>(triangle.vertex[0])];
    const float* p1 = &v[3 * static_cast<size_t>(triangle.vertex[1])];
    const float* p2 = &v[3 * static_cast<size_t>(triangle.vertex[2])];
    float u[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    float w[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    float* n = &model->facetnorms[3 * (static_cast<size_t>(i) + 1)];
    glmCrossProduct(u, w, n);
    glmNormalizeVector(n);
  }
}

unsigned glmVertexNormalsCounted(ObjModel* model, float angle, bool printWarnings) {
  GLM_ASSERT(model, "model");
  GLM_ASSERT(!model->facetnorms.empty(), "model->facetnorms");

  // The float nearest to pi: at 90 degrees the cosine is -4.3711388e-08, not 0,
  // so faces exactly perpendicular to the reference face are averaged.
  const float cosAngle = static_cast<float>(std::cos(static_cast<double>(angle) * 3.1415927410125732 / 180.0));

  model->normals.clear();
  model->nnormals = 0;
  std::vector<float> work(3 * (3 * static_cast<size_t>(model->ntris) + 1), 0.0f);

  // One use per corner; each vertex's list starts with the newest triangle that uses it.
  std::vector<unsigned> heads(static_cast<size_t>(model->nvertices) + 1, NO_USE);
  std::vector<ObjVertexUse> uses;
  uses.reserve(3 * static_cast<size_t>(model->ntris));
  for (unsigned i = 0; i < model->ntris; ++i) {
    for (unsigned char c = 0; c < 3; ++c) {
      unsigned vertex = model->tris[i].vertex[c];
      if (vertex == 0 || vertex > model->nvertices) continue;  // cannot happen after a checked read
      uses.push_back(ObjVertexUse{i, c, false, heads[vertex]});
      heads[vertex] = static_cast<unsigned>(uses.size() - 1);
    }
  }

  unsigned unused = 0;
  size_t next = 1;
  for (size_t k = 1; k <= model->nvertices; ++k) {
    if (heads[k] == NO_USE) {
      if (printWarnings) std::fprintf(stderr, "glmVertexNormals(): vertex w/o a triangle\n");
      ++unused;
      continue;
    }
    const float* reference = facetNormalOf(*model, uses[heads[k]].triangle);
    float sum[3] = {0.0f, 0.0f, 0.0f};
    bool anyAveraged = false;
    for (unsigned u = heads[k]; u != NO_USE; u = uses[u].next) {
      const float* facet = facetNormalOf(*model, uses[u].triangle);
      uses[u].averaged = glmDotProduct(facet, reference) > cosAngle;
      if (uses[u].averaged) {
        sum[0] += facet[0];
        sum[1] += facet[1];
        sum[2] += facet[2];
        anyAveraged = true;
      }
    }
    size_t averagedIndex = 0;
    if (anyAveraged) {
      glmNormalizeVector(sum);
      work[3 * next + 0] = sum[0];
      work[3 * next + 1] = sum[1];
      work[3 * next + 2] = sum[2];
      averagedIndex = next++;
    }
    for (unsigned u = heads[k]; u != NO_USE; u = uses[u].next) {
      ObjTriangle& triangle = model->tris[uses[u].triangle];
      if (uses[u].averaged) {
        triangle.normal[uses[u].corner] = static_cast<unsigned>(averagedIndex);
      } else {
        const float* facet = facetNormalOf(*model, uses[u].triangle);
        work[3 * next + 0] = facet[0];
        work[3 * next + 1] = facet[1];
        work[3 * next + 2] = facet[2];
        triangle.normal[uses[u].corner] = static_cast<unsigned>(next++);
      }
    }
  }

  model->nnormals = static_cast<unsigned>(next - 1);
  work.resize(3 * next);
  model->normals = std::move(work);
  model->normals.shrink_to_fit();
  return unused;
}

void glmVertexNormals(ObjModel* model, float angle) { glmVertexNormalsCounted(model, angle, true); }
