// The ground's grid: a 90 x 90 square at y = 0 in 500 x 500 cells, the ground's
// picture once per cell, with its vertices built once; and the squares of
// cells the culling decides in (the words are those of object_drawing.h). The
// ground draws the grid; the culling plans which of its cells to draw and how
// coarsely.
#pragma once

#include <vector>

constexpr float GROUND_SIZE = 90;
constexpr int GROUND_DIVISIONS = 500;
constexpr float GROUND_STEP = GROUND_SIZE / GROUND_DIVISIONS;
constexpr int GROUND_STRIP_VERTICES = 2 * (GROUND_DIVISIONS + 1);

// Squares of cells, each aligned to its size: the largest 100 cells a side,
// each split into 5 x 5 smaller ones, down to tiles of 4 x 4 cells, 125 a side.
constexpr int GROUND_LARGEST_SQUARE = 100;
constexpr int GROUND_SQUARE_SPLIT = 5;
constexpr int GROUND_TILE = GROUND_LARGEST_SQUARE / GROUND_SQUARE_SPLIT / GROUND_SQUARE_SPLIT;
constexpr int GROUND_TILES = GROUND_DIVISIONS / GROUND_TILE;
static_assert(GROUND_TILES * GROUND_TILE == GROUND_DIVISIONS && GROUND_DIVISIONS % GROUND_LARGEST_SQUARE == 0,
              "the squares cover the grid");

// One flag per tile, indexed [tile column][tile row].
struct GroundTileMask {
  bool on[GROUND_TILES][GROUND_TILES];
};

// One ground vertex in OpenGL's GL_T2F_V3F layout.
struct GroundVertex {
  float s, t;
  float x, y, z;
};

// Column and row edges: -45, then repeated single-precision additions of the
// step 90 / 500. The last edge lands at 45 up to that rounding.
const std::vector<float>& groundEdges();

// The column (or row) of cells that holds the coordinate, by the step alone:
// below 0 or from GROUND_DIVISIONS on when it lies off the grid.
inline int groundCellIndex(double coordinate) {
  const double place = (coordinate + GROUND_SIZE / 2) / GROUND_STEP;
  const int index = static_cast<int>(place);
  return index > place ? index - 1 : index;
}

// The grid's vertices, built once: column i's quad strip is the run
// [i * GROUND_STRIP_VERTICES, (i + 1) * GROUND_STRIP_VERTICES), running along +z
// with texture coordinate (0, k mod 2) on the right edge and (1, k mod 2) on
// the left edge of row edge k.
const std::vector<GroundVertex>& groundVertices();
