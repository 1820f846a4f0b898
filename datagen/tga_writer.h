// Truevision TGA encoder for true-colour pictures: uncompressed (type 2) or run-length
// encoded (type 10), 24 or 32 bits, stored bottom row first or top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/raster.h"

namespace datagen {

struct TgaOptions {
  bool runLength = false;  // type 10 instead of type 2
  int bitsPerPixel = 24;   // 24 or 32; an RGB picture written at 32 bits gets alpha 255
  bool topRowFirst = false;  // descriptor bit 0x20
  std::string imageId;     // written right after the header; its length is idLength
};

// Encodes the picture. Run-length packets follow the pixel stream in storage order and
// so may run across the end of a row into the next one.
std::vector<uint8_t> encodeTga(const Image8& image, const TgaOptions& options);

}  // namespace datagen
