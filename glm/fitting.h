// Fitting a read model: centred on the origin with its largest extent 1, then
// scaled, as the scene prepares its models before their normals.
#pragma once

#include "glm/model.h"
#include "glm/read_status.h"

// Centres the model on the origin and scales its largest bounding-box edge to 1;
// returns the factor. A model without vertices is refused: message, exit status 1.
float glmFitToUnitCube(ObjModel* model);

// The same without exiting: a model without vertices gives NO_VERTICES.
ReadStatus glmFitToUnitCubeChecked(ObjModel* model, float* scale);

// Multiplies every vertex coordinate by `factor`.
void glmScaleVertices(ObjModel* model, float factor);

// b when a < b, else a.
float glmLarger(float a, float b);
