// Flat-colour drawing for the signboard pictures.
#include "datagen/canvas.h"

namespace datagen {

Canvas::Canvas(int width, int height, double designWidth, double designHeight, Color background)
    : raster_(width, height, background), sx_(designWidth / width), sy_(designHeight / height) {
  // The ramp follows the mean pixel size, so edges look alike in both directions.
  ramp_ = std::sqrt(sx_ * sy_);
}

}  // namespace datagen
