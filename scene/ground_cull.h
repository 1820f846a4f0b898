// The ground cells that can show under the current view, as runs of each
// column's quad strip: the culled ground draws only these.
#pragma once

#include <GL/gl.h>

#include <vector>

struct ViewCull;

// Quad-strip runs into groundVertices(): run r is the vertices
// [first[r], first[r] + count[r]), in the grid's own column and row order.
struct GroundRuns {
  std::vector<int> column;
  std::vector<GLint> first;
  std::vector<GLsizei> count;
  void clear() {
    column.clear();
    first.clear();
    count.clear();
  }
  void add(int inColumn, GLint from, GLsizei vertices) {
    column.push_back(inColumn);
    first.push_back(from);
    count.push_back(vertices);
  }
};

// Finds the cells that touch the view volume (and, when rendering, whose
// window footprint contains a pixel centre) and joins neighbours in a column
// into runs. Every other cell can give neither a fragment nor a hit.
void findShowingGroundRuns(const ViewCull& view, GroundRuns& runs);

// The corners of a column's whole strip (indices into groundVertices()) that
// could lie outside the view volume; returns how many. Every clip test is a
// linear half-space, so if any vertex of the column is caught by one, one of
// these corners is too.
int columnCornersThatMayClip(const ViewCull& view, int column, GLint corners[4]);
