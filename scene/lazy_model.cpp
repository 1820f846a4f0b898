// Models read on their first draw and replayed from a display list afterwards.
#include "scene/lazy_model.h"

#include <unordered_map>

#include "glm/glm.h"
#include "scene/draw_path.h"
#include "scene/view_cull.h"

namespace {

// The box around every vertex of a prepared model, in model units.
struct ModelBox {
  float min[3];
  float max[3];
};

ModelBox boxOf(const ObjModel& model) {
  ModelBox box = {{0, 0, 0}, {0, 0, 0}};
  for (unsigned v = 1; v <= model.nvertices; ++v) {
    for (int a = 0; a < 3; ++a) {
      const float c = model.vertices[3 * v + a];
      if (v == 1 || c < box.min[a]) box.min[a] = c;
      if (v == 1 || c > box.max[a]) box.max[a] = c;
    }
  }
  return box;
}

}  // namespace

void drawLazyModel(const char* path, ObjModel*& model, GLuint& list) {
  static std::unordered_map<const ObjModel*, ModelBox> boxes;
  if (model == nullptr) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    model = glmReadOBJ(path);
    glmFitToUnitCube(model);
    glmScaleVertices(model, 2.0f);
    glmComputeFacetNormals(model);
    glmVertexNormals(model, 90.0f);
    // No texture bit: the models show their material colours only.
    list = glmCompileList(model, DRAW_SMOOTH | DRAW_MATERIAL);
    glPopAttrib();
    boxes[model] = boxOf(*model);
  }
  // The list changes nothing that outlives its attribute push and pop, so a
  // model that cannot show can be left out altogether.
  if (drawPath() == DrawPath::Culled && !boxCanShow(boxes[model].min, boxes[model].max)) return;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  // The callers draw under a scale of 0.6; this keeps the lighting normals unit length.
  glEnable(GL_NORMALIZE);
  glCallList(list);
  glPopAttrib();
}
