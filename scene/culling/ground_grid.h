// The ground's grid: a 90 x 90 square at y = 0 in 500 x 500 cells, one texture
// repeat per cell, with its vertices built once. The ground draws it; the
// culling plans which of its cells to draw and how coarsely.
#pragma once

#include <vector>

constexpr float GROUND_SIZE = 90;
constexpr int GROUND_DIVISIONS = 500;
constexpr float GROUND_STEP = GROUND_SIZE / GROUND_DIVISIONS;
constexpr int GROUND_STRIP_VERTICES = 2 * (GROUND_DIVISIONS + 1);

// One ground vertex in OpenGL's GL_T2F_V3F layout.
struct GroundVertex {
  float s, t;
  float x, y, z;
};

// Column and row edges: -45, then repeated single-precision additions of the
// step 90 / 500. The last edge lands at 45 up to that rounding.
const std::vector<float>& groundEdges();

// The grid's vertices, built once: column i's quad strip is the run
// [i * GROUND_STRIP_VERTICES, (i + 1) * GROUND_STRIP_VERTICES), running along +z
// with texture coordinate (0, k mod 2) on the right edge and (1, k mod 2) on
// the left edge of row edge k.
const std::vector<GroundVertex>& groundVertices();
