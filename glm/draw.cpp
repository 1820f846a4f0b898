// Immediate-mode drawing of a model, group by group, and display list compilation.
#include "glm/draw.h"

#include <cstdio>
#include <cstring>

#include "glm/check.h"

namespace {

void warn(std::vector<const char*>* warnings, const char* text) {
  if (warnings != nullptr) warnings->push_back(text);
}

}  // namespace

unsigned glmReduceDrawMode(const ObjModel* model, unsigned mode, std::vector<const char*>* warnings) {
  GLM_ASSERT(model, "model");
  if ((mode & DRAW_FLAT) && model->facetnorms.empty()) {
    warn(warnings, "glmDraw() warning: flat render mode requested with no facet normals defined.\n");
    mode &= ~DRAW_FLAT;
  }
  if ((mode & DRAW_SMOOTH) && model->normals.empty()) {
    warn(warnings, "glmDraw() warning: smooth render mode requested with no normals defined.\n");
    mode &= ~DRAW_SMOOTH;
  }
  if ((mode & DRAW_TEXTURE) && model->uvs.empty()) {
    warn(warnings, "glmDraw() warning: texture render mode requested with no texture coordinates defined.\n");
    mode &= ~DRAW_TEXTURE;
  }
  if ((mode & DRAW_FLAT) && (mode & DRAW_SMOOTH)) {
    warn(warnings, "glmDraw() warning: flat render mode requested and smooth render mode requested (using smooth).\n");
    mode &= ~DRAW_FLAT;
  }
  if ((mode & DRAW_COLOR) && model->mtls.empty()) {
    warn(warnings, "glmDraw() warning: color render mode requested with no materials defined.\n");
    mode &= ~DRAW_COLOR;
  }
  if ((mode & DRAW_MATERIAL) && model->mtls.empty()) {
    warn(warnings, "glmDraw() warning: material render mode requested with no materials defined.\n");
    mode &= ~DRAW_MATERIAL;
  }
  if ((mode & DRAW_COLOR) && (mode & DRAW_MATERIAL)) {
    warn(warnings, "glmDraw() warning: color and material render mode requested using only material mode.\n");
    mode &= ~DRAW_COLOR;
  }
  return mode;
}

void glmDraw(ObjModel* model, unsigned mode, const char* groupName) {
  GLM_ASSERT(model, "model");
  GLM_ASSERT(!model->vertices.empty(), "model->vertices");

  std::vector<const char*> warnings;
  mode = glmReduceDrawMode(model, mode, &warnings);
  for (const char* text : warnings) std::fputs(text, stdout);

  if (mode & DRAW_COLOR) {
    glEnable(GL_COLOR_MATERIAL);
  } else if (mode & DRAW_MATERIAL) {
    glDisable(GL_COLOR_MATERIAL);
  }
  if (mode & DRAW_TEXTURE) {
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  }

  const float* vertices = model->vertices.data();
  const float* normals = model->normals.data();
  const float* uvs = model->uvs.data();
  const float* facetnorms = model->facetnorms.data();

  for (const ObjGroup* group = model->grouplist; group != nullptr; group = group->next) {
    if (groupName != nullptr && group->name != groupName) continue;

    // A material index beyond the table (a later, shorter library read into the
    // model) falls back to "default" rather than reading past it.
    const ObjMaterial* material = nullptr;
    int texture = -1;
    if (!model->mtls.empty()) {
      material = &model->mtls[group->material < model->mtls.size() ? group->material : 0];
      texture = material->texture;
    }

    if (mode & DRAW_MATERIAL) {
      glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material->ambient);
      glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material->diffuse);
      glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material->specular);
      glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material->shininess);
    }
    if (mode & DRAW_TEXTURE) {
      bool bound = texture >= 0 && static_cast<size_t>(texture) < model->tex.size();
      glBindTexture(GL_TEXTURE_2D, bound ? model->tex[static_cast<size_t>(texture)].id : 0);
    }
    if (mode & DRAW_COLOR) glColor3fv(material->diffuse);

    glBegin(GL_TRIANGLES);
    for (unsigned i = 0; i < group->ntris; ++i) {
      const ObjTriangle& triangle = model->tris[group->tris[i]];
      if (mode & DRAW_FLAT) glNormal3fv(&facetnorms[3 * static_cast<size_t>(triangle.facet)]);
      for (int c = 0; c < 3; ++c) {
        if (mode & DRAW_SMOOTH) glNormal3fv(&normals[3 * static_cast<size_t>(triangle.normal[c])]);
        if (mode & DRAW_TEXTURE) glTexCoord2fv(&uvs[2 * static_cast<size_t>(triangle.uv[c])]);
        glVertex3fv(&vertices[3 * static_cast<size_t>(triangle.vertex[c])]);
      }
    }
    glEnd();
  }
}

GLuint glmCompileList(ObjModel* model, unsigned mode) {
  GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glmDraw(model, mode);
  glEndList();
  return list;
}
