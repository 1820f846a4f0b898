// Models read on their first draw and replayed from a display list afterwards.
#include "scene/lazy_model.h"

#include "glm/glm.h"

void drawLazyModel(const char* path, ObjModel*& model, GLuint& list) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  if (model == nullptr) {
    model = glmReadOBJ(path);
    glmFitToUnitCube(model);
    glmScaleVertices(model, 2.0f);
    glmComputeFacetNormals(model);
    glmVertexNormals(model, 90.0f);
    // No texture bit: the models show their material colours only.
    list = glmCompileList(model, DRAW_SMOOTH | DRAW_MATERIAL);
  }
  // The callers draw under a scale of 0.6; this keeps the lighting normals unit length.
  glEnable(GL_NORMALIZE);
  glCallList(list);
  glPopAttrib();
}
