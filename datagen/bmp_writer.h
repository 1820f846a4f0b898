// Windows bitmap encoder: 24 bits per pixel, uncompressed, rows bottom-up and padded
// to four bytes, with the 14-byte file header and the 40-byte information header.
#pragma once

#include <cstdint>
#include <vector>

#include "datagen/raster.h"

namespace datagen {

// Encodes an RGB (or RGBA, alpha dropped) picture; row 0 of the picture is stored first.
std::vector<uint8_t> encodeBmp(const Image8& image);

}  // namespace datagen
