// A read model's facet and vertex normals, with the small vector operations they use.
#pragma once

#include "glm/model.h"

// One unit normal per triangle, triangle i's at facet index i + 1. A triangle
// without a direction (zero area, or non-finite corners) gets (0, 0, 0).
void glmComputeFacetNormals(ObjModel* model);

// Per-corner normals: at each vertex the facet normals within `angle` degrees of
// the newest triangle's are averaged, every other use keeps its own facet normal.
// Prints a warning on standard error for each vertex no triangle uses.
void glmVertexNormals(ObjModel* model, float angle);

// glmVertexNormals with the warnings optional; returns the number of vertices
// that no triangle uses.
unsigned glmVertexNormalsCounted(ObjModel* model, float angle, bool printWarnings);

float glmDotProduct(const float* u, const float* v);
void glmCrossProduct(const float* u, const float* v, float* n);

// Scales v to unit length. A vector of zero or non-finite length has no
// direction and becomes (0, 0, 0) instead of NaN.
void glmNormalizeVector(float* v);
