// Models read on their first draw and replayed from a display list afterwards:
// the kart and the grass patch share this pattern.
#pragma once

#include <GL/gl.h>

#include "scene/culling/object_drawing.h"

struct ObjModel;

// A model's state between draws: null and 0 until the first draw reads it.
struct LazyModel {
  ObjModel* model = nullptr;
  GLuint list = 0;
  ObjectBounds bounds{};  // around every vertex, in model units
};

// Draws the model at `path` at the origin of the current modelview. On the
// first call it reads the model, fits it to a cube of side 2 about the origin,
// gives it facet and smoothed vertex normals and compiles it into a display
// list with its materials; `lazy` keeps them for the later calls. All GL state
// the list changes is restored afterwards, so a model that cannot show may be
// left out altogether.
// `kind` says what the model is to the object drawing.
void drawLazyModel(const char* path, LazyModel& lazy, ObjectKind kind);
