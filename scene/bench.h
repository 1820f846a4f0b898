// A bench: a wooden seat plank between two concrete supports, in a bench space
// scaled by 0.035 into the world.
#pragma once

#include "scene/culling/object_drawing.h"

constexpr float BENCH_SCALE = 0.035f;
constexpr float BENCH_LENGTH = 15;        // offset of the second support, and the seat's length argument
constexpr float BENCH_SUPPORT_DEPTH = 1;  // depth of a support, and the seat's front argument

// Draws one bench under the current modelview; leaves GL_NORMALIZE disabled.
void drawBench();

// One support in its local frame: a trapezoid foot under a rectangular column,
// front face at z = 0, back face at z = -depth, no bottom face.
void drawBenchSupport(float depth);

// The seat box x 0..5, y 4..5, z from front - (length - front) to front, no bottom face.
void drawBenchSeat(float length, float front);

// A bench as the frame draws it: left out whenever it cannot show (what it
// leaves behind, its material, texture binding and normal, is replaced by the
// sky box and the ground before anything uses it), recorded for a pick.
extern const SceneObject BENCH_OBJECT;
