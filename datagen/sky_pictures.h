// The sky box faces and the ground tile.
//
// The sky is one scene seen from near the middle of the box (eye 0.5 above the ground):
// every texel is coloured by the direction from there to the texel's point on the box,
// so the four walls and the top join into one panorama. Near the box's edges the
// picture is pulled towards a mirror-symmetric version of itself, because GL_REPEAT
// filtering blends each face's edge texels with those of its opposite edge. A wall's
// bottom row repeats its top row for the same reason: its top edge (in the sky) is
// filtered together with its bottom row.
#pragma once

#include "datagen/raster.h"

namespace datagen {

constexpr int SKY_WALL_WIDTH = 1024;
constexpr int SKY_WALL_HEIGHT = 512;
constexpr int SKY_TOP_SIZE = 512;
constexpr int GROUND_TILE_SIZE = 256;

// The five drawn faces, named after their files ("pos_x" is the wall at x = -45).
struct SkyBoxPictures {
  Raster posZ;
  Raster negZ;
  Raster posX;
  Raster negX;
  Raster top;
};

SkyBoxPictures makeSkyBox();

// Short lawn grass, tiling in both directions, low in contrast: the ground shows it once
// per 0.18 x 0.18 cell, minified without mipmaps.
Raster makeGroundTile();

}  // namespace datagen
