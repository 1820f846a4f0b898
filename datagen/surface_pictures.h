// The bench textures: wood grain for the seat, concrete for the supports.
#pragma once

#include "datagen/raster.h"

namespace datagen {

// Pale plank with its grain along s: the seat's top face stretches s over 14 units
// and t over 5. The bronze material tints it brown in the scene.
Raster makeWood();

// Light grey cast concrete with pores and faint stains; the same in every direction,
// since the supports' faces stretch it differently.
Raster makeConcrete();

}  // namespace datagen
