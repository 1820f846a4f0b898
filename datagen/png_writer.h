// PNG files of generated pictures, for looking at them (previews only; the scene reads
// BMP and TGA).
#pragma once

#include <string>

#include "datagen/raster.h"

namespace datagen {

// Writes an 8-bit RGB or RGBA picture (bottom row first, as the generator keeps
// it) right side up. Returns false (after printing why) when the file cannot be written.
bool writePng(const std::string& path, const Image8& image);

}  // namespace datagen
