// The cactus signboard by the origin: a bronze post carrying a silver board whose
// two large faces show the cactus pictures 1 to 8 in turn, one per drawing pass.
#pragma once

#include "scene/culling/object_drawing.h"

constexpr int SIGN_PICTURE_COUNT = 8;

// Draws the signboard in world coordinates and advances the picture counter.
// Leaves texturing off, the silver preset applied and the modelview unchanged.
void drawSignboard();

// The picture counter: picture signFrame + 1 is drawn next (after the wrap at 8).
int signboardFrame();
void setSignboardFrame(int frame);

// The signboard as the frame draws it. A rendered frame always draws it: the
// karts after it use the material it leaves. A pick leaves it out when it
// cannot be hit (the picture counter still advances, as every drawing pass
// advances it) and records it otherwise.
extern const SceneObject SIGNBOARD_OBJECT;
