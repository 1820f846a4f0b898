// Models read on their first draw and replayed from a display list afterwards.
#include "scene/lazy_model.h"

#include "glm/glm.h"

namespace {

ObjectBounds boundsOf(const ObjModel& model) {
  ObjectBounds box = {{0, 0, 0}, {0, 0, 0}};
  for (unsigned v = 1; v <= model.nvertices; ++v) {
    for (int a = 0; a < 3; ++a) {
      const float c = model.vertices[3 * v + a];
      if (v == 1 || c < box.min[a]) box.min[a] = c;
      if (v == 1 || c > box.max[a]) box.max[a] = c;
    }
  }
  return box;
}

// The model's display list under its own attribute push.
void callModelList(const SceneObject& object) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  // The callers draw under a scale of 0.6; this keeps the lighting normals unit length.
  glEnable(GL_NORMALIZE);
  glCallList(object.list);
  glPopAttrib();
}

}  // namespace

void drawLazyModel(const char* path, LazyModel& lazy, ObjectKind kind) {
  if (lazy.model == nullptr) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    lazy.model = glmReadOBJ(path);
    glmFitToUnitCube(lazy.model);
    glmScaleVertices(lazy.model, 2.0f);
    glmComputeFacetNormals(lazy.model);
    glmVertexNormals(lazy.model, 90.0f);
    // No texture bit: the models show their material colours only.
    lazy.list = glmCompileList(lazy.model, DRAW_SMOOTH | DRAW_MATERIAL);
    glPopAttrib();
    lazy.bounds = boundsOf(*lazy.model);
  }
  // A display list already: a pick draws it as it is.
  drawObject({callModelList, lazy.bounds, LeaveOut::WHEN_HIDDEN, callModelList, nullptr, lazy.list, kind});
}
