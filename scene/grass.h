// Grass patches: copies of one tilted model.
#pragma once

constexpr const char* GRASS_MODEL_PATH = "data/models/grass/trava.obj";

// How high a patch's centre stands in kart space, and its tilt in degrees
// about the horizontal diagonal between +x and +z.
constexpr double GRASS_CENTRE_HEIGHT = 0.2;
constexpr double GRASS_TILT = -20;

// The grass model at the origin of the current modelview, read on first use.
void drawGrassModel();

// One patch at kart-space (x, y, z), tilted 20 degrees about the horizontal
// diagonal between +x and +z. Leaves the chrome material current.
void drawGrass(double x, double y, double z);
