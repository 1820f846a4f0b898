// Grass patches: copies of one tilted model.
#pragma once

constexpr const char* GRASS_MODEL_PATH = "data/models/grass/trava.obj";

// The grass model at the origin of the current modelview, read on first use.
void drawGrassModel();

// One patch at kart-space (x, y, z), tilted 20 degrees about the horizontal
// diagonal between +x and +z. Leaves the chrome material current.
void drawGrass(double x, double y, double z);
