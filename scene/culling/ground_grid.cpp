// The ground's grid, built once on first use.
#include "scene/culling/ground_grid.h"

#include <cstddef>

const std::vector<float>& groundEdges() {
  static const std::vector<float> edges = [] {
    std::vector<float> result;
    result.reserve(GROUND_DIVISIONS + 1);
    float edge = -GROUND_SIZE / 2;
    for (int k = 0; k <= GROUND_DIVISIONS; ++k) {
      result.push_back(edge);
      edge += GROUND_STEP;
    }
    return result;
  }();
  return edges;
}

const std::vector<GroundVertex>& groundVertices() {
  // Each cell shows the whole picture: s falls from 1 to 0 along +x in every cell,
  // and t alternates by row, so neighbouring rows are mirror images.
  static const std::vector<GroundVertex> vertices = [] {
    const std::vector<float>& edges = groundEdges();
    std::vector<GroundVertex> result;
    result.reserve(static_cast<std::size_t>(GROUND_DIVISIONS) * GROUND_STRIP_VERTICES);
    for (int i = 0; i < GROUND_DIVISIONS; ++i) {
      const float left = edges[i];
      const float right = left + GROUND_STEP;
      for (int k = 0; k <= GROUND_DIVISIONS; ++k) {
        const float t = static_cast<float>(k % 2);
        result.push_back({0, t, right, 0, edges[k]});
        result.push_back({1, t, left, 0, edges[k]});
      }
    }
    return result;
  }();
  return vertices;
}
