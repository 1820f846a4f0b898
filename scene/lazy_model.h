// Models read on their first draw and replayed from a display list afterwards:
// the kart and the grass patch share this pattern.
#pragma once

#include <GL/gl.h>

struct ObjModel;

// Draws the model at `path` at the origin of the current modelview. On the
// first call it reads the model, fits it to a cube of side 2 about the origin,
// gives it facet and smoothed vertex normals and compiles it into a display
// list with its materials; `model` and `list` keep both for the later calls.
// All GL state the list changes is restored afterwards.
void drawLazyModel(const char* path, ObjModel*& model, GLuint& list);
