// Fitting a read model into the unit cube about the origin, and scaling it.
// Float arithmetic throughout, as the scene's models have always been fitted.
#include "glm/fitting.h"

#include <cmath>

#include "glm/check.h"
#include "support/printable_text.h"

float glmLarger(float a, float b) { return a < b ? b : a; }

ReadStatus glmFitToUnitCubeChecked(ObjModel* model, float* scaleOut) {
  GLM_ASSERT(model, "model");
  GLM_ASSERT(!model->vertices.empty(), "model->vertices");
  if (model->nvertices == 0) {
    return ReadStatus::failure(ReadError::NO_VERTICES,
                               "glmFitToUnitCube() failed: model \"" + printableText(model->path) + "\" has no vertices.\n");
  }
  float* v = model->vertices.data();
  float maxx = v[3], minx = v[3];
  float maxy = v[4], miny = v[4];
  float maxz = v[5], minz = v[5];
  for (size_t k = 1; k <= model->nvertices; ++k) {
    const float* p = &v[3 * k];
    if (maxx < p[0]) maxx = p[0];
    if (minx > p[0]) minx = p[0];
    if (maxy < p[1]) maxy = p[1];
    if (miny > p[1]) miny = p[1];
    if (maxz < p[2]) maxz = p[2];
    if (minz > p[2]) minz = p[2];
  }
  float width = maxx - minx;
  float height = maxy - miny;
  float depth = maxz - minz;
  float cx = (maxx + minx) / 2.0f;
  float cy = (maxy + miny) / 2.0f;
  float cz = (maxz + minz) / 2.0f;

  // A model without extent (one point, or all vertices equal), with an
  // unbounded one or with one too small for its inverse to be a float (1e-43)
  // is only centred: an infinite factor would make every coordinate infinite.
  float larger = glmLarger(glmLarger(width, height), depth);
  const float inverse = larger > 0.0f && std::isfinite(larger) ? 1.0f / larger : 1.0f;
  float scale = std::isfinite(inverse) ? inverse : 1.0f;

  for (size_t k = 1; k <= model->nvertices; ++k) {
    float* p = &v[3 * k];
    p[0] = (p[0] - cx) * scale;
    p[1] = (p[1] - cy) * scale;
    p[2] = (p[2] - cz) * scale;
  }
  *scaleOut = scale;
  return ReadStatus::success();
}

float glmFitToUnitCube(ObjModel* model) {
  float scale = 1.0f;
  ReadStatus status = glmFitToUnitCubeChecked(model, &scale);
  if (!status.ok()) glmFailWith(status);
  return scale;
}

void glmScaleVertices(ObjModel* model, float factor) {
  GLM_ASSERT(model, "model");
  GLM_ASSERT(!model->vertices.empty(), "model->vertices");
  for (size_t k = 1; k <= model->nvertices; ++k) {
    model->vertices[3 * k + 0] *= factor;
    model->vertices[3 * k + 1] *= factor;
    model->vertices[3 * k + 2] *= factor;
  }
}
