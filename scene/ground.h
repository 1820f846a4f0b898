// The ground: a 90 x 90 lit, textured grid at y = 0, its picture once per 0.18 x 0.18 cell.
#pragma once

#include "scene/culling/ground_grid.h"

// Draws the grid: the chrome material, one upward normal for every vertex and
// the ground texture, then the cells through the drawing in use (the culled
// one draws only what can show, as coarse as the light allows). Leaves
// texturing off.
void drawGround();
