// The blue go-kart: tube frame, floor pan, nose cone, side pods, number panel, bucket
// seat, steering column and wheel, four wheels (tyres, rims, hubs), engine with exhaust
// and chain, brake, bumpers and two lamps. Front towards -x, y up, wheels standing on
// y = 0. Its height is 0.33 of its length, so that the scene (which fits the length
// to 2 and puts the centre 0.33 above the ground) stands it on its wheels, with the
// front bumper at x = -1, just behind the lamps the scene places at x = -1.1.
#pragma once

#include <string>
#include <vector>

#include "datagen/mesh.h"
#include "datagen/raster.h"

namespace datagen {

Mesh makeKartMesh();

// The material textures beside the model (named by its MTL file's "map_Kd" lines).
struct KartTexture {
  std::string file;
  bool tga = false;  // TGA (run-length, top row first) or 24-bit BMP
  Image8 image;
};
std::vector<KartTexture> makeKartTextures();

// Height over length the kart is built to.
constexpr double KART_HEIGHT_RATIO = 0.33;

}  // namespace datagen
