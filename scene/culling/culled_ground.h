// The culled ground: only the cells that can show, drawn as coarse as the
// ground's vertex lighting allows, and with the grid's own vertices where a
// pick or a sliver seen edge-on needs them exact (the words are those of
// object_drawing.h).
#pragma once

#include <GL/gl.h>

#include <vector>

#include "scene/culling/ground_cull.h"
#include "scene/culling/ground_grid.h"
#include "scene/culling/ground_pieces.h"

struct GroundLighting;

// Draws the ground's cells under the material, normal and texture in force.
// It owns everything a pass works in (the projected grid, the plan, the runs
// and the vertex streams), kept from frame to frame, so that a frame allocates
// nothing once the buffers have grown to the views it has been given.
class CulledGround {
 public:
  // A rendered ground goes in pieces as coarse as its lighting allows, lit
  // within a level or so of the cells drawn one by one and covering the same
  // pixels; where the GL state holds a lighting term the planner does not
  // model, and in selection and feedback, only the cells that can show go,
  // with the grid's own vertices (the picture and the picks are exact).
  void draw();

 private:
  GroundProjection grid_;
  GroundPlanner planner_;
  GroundPlan plan_;
  GroundTileMask tiles_;
  GroundRunFinder runFinder_;
  GroundRuns runs_;
  // The columns' strips, back to back, and where each starts and how long it is.
  std::vector<GroundVertex> strips_;
  std::vector<GLint> stripFirst_;
  std::vector<GLsizei> stripCount_;
  std::vector<GroundVertex> pieces_;  // triangles

  void drawInPieces(const GroundLighting& lighting);
  void drawExactCells();
  void drawRunsAlone();
  void drawColumns();
  void beginStrip(const GLint* corners, int cornerCount, const GroundVertex& first);
  void endStrip(std::size_t start);
  void appendPair(GroundVertex v);
};
