// The signboard's ten cactus pictures and how each one is stored.
//
// Pictures 1 to 8 are one animation loop (the board shows one per frame): a saguaro
// sways in the desert, its flowers open and close, the sun's rays turn and a
// butterfly circles it; picture 8 leads back into picture 1. Pictures 9 and 10 are
// stills. The ten files between them use every TGA layout the scene's loader reads.
#pragma once

#include "datagen/raster.h"
#include "datagen/tga_writer.h"

namespace datagen {

constexpr int CACTUS_PICTURE_COUNT = 10;
constexpr int CACTUS_LOOP_LENGTH = 8;
constexpr int CACTUS_PICTURE_SIZE = 256;
// The board is 2 wide and 1.4 high: pictures are drawn in those units and squeezed
// into a square texture, which the board stretches back.
constexpr double BOARD_WIDTH = 2.0;
constexpr double BOARD_HEIGHT = 1.4;

// Picture k, 1 <= k <= 10.
Raster makeCactusPicture(int k);

// How picture k is stored: type, depth, row order and image ID.
TgaOptions cactusEncoding(int k);

}  // namespace datagen
