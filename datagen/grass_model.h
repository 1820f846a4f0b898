// The grass tuft: a few hundred curved, tapering blades rooted near the middle and
// leaning outwards, in three greens. It is wider than tall (height about 0.4 of the
// width), so that once the scene fits it to 2 units and sets its centre 0.2 above the
// ground, the roots sit in the ground and the blades rise from it.
#pragma once

#include "datagen/mesh.h"

namespace datagen {

Mesh makeGrassMesh();

}  // namespace datagen
