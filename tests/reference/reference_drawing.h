// The straightforward drawing the culled one is held to: every object as
// written and nothing left out, the ground's cells vertex by vertex in
// immediate mode, selection passes drawn like rendered ones.
#pragma once

#include "scene/culling/object_drawing.h"

ObjectDrawing& referenceDrawing();

// Which way the frame submits its geometry, for the comparisons: picture for
// picture (within a level or two) and hit record for hit record.
enum class DrawPath {
  Culled,     // the program's: leaves out what cannot show; the ground as coarse as its light allows
  Reference,  // every primitive sent as drawn by hand: the immediate-mode ground
};

// Puts the drawing of `path` in use for every later pass.
void setDrawPath(DrawPath path);
DrawPath drawPath();

// The ground through the reference drawing: its material, normal and
// texture, then the whole grid in immediate mode, one quad strip per column.
void drawGroundImmediate();
