// The ground cells that can show under the current view, as runs of each
// column's quad strip: the culled ground draws only these.
#pragma once

#include <GL/gl.h>

#include <vector>

struct ViewCull;

// Quad-strip runs into groundVertices(): run r is the vertices
// [first[r], first[r] + count[r]), in the grid's own column and row order.
struct GroundRuns {
  std::vector<GLint> first;
  std::vector<GLsizei> count;
  void clear() {
    first.clear();
    count.clear();
  }
};

// Finds the cells that touch the view volume (and, when rendering, whose
// window footprint contains a pixel centre) and joins neighbours in a column
// into runs. Every other cell can give neither a fragment nor a hit.
void findShowingGroundRuns(const ViewCull& view, GroundRuns& runs);
extern int groundRunBridge;
