// Drawing a prepared model in immediate mode, and recording that into a display list.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "glm/model.h"

constexpr unsigned DRAW_FLAT = 1;      // one facet normal per triangle
constexpr unsigned DRAW_SMOOTH = 2;    // one vertex normal per corner
constexpr unsigned DRAW_TEXTURE = 4;   // texture coordinates, the material's texture bound
constexpr unsigned DRAW_COLOR = 8;     // the material's diffuse colour through GL_COLOR_MATERIAL
constexpr unsigned DRAW_MATERIAL = 16; // the material through glMaterial

// The mode glmDraw really uses for `model`: bits the model cannot serve are
// cleared in a fixed order, and each clearing's warning line is appended to
// `warnings` (when given). Issues no GL call.
unsigned glmReduceDrawMode(const ObjModel* model, unsigned mode, std::vector<const char*>* warnings);

// Draws the model's groups (only those called `groupName`, when given) as
// triangles. Prints the mode warnings on standard output. The GL state it sets
// stays set.
void glmDraw(ObjModel* model, unsigned mode, const char* groupName = nullptr);

// A new display list holding one glmDraw of the whole model.
GLuint glmCompileList(ObjModel* model, unsigned mode);
