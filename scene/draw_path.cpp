// Which way the frame submits its geometry.
#include "scene/draw_path.h"

namespace {
DrawPath currentPath = DrawPath::Culled;
}  // namespace

void setDrawPath(DrawPath path) { currentPath = path; }

DrawPath drawPath() { return currentPath; }
