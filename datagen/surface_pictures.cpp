// The bench textures: wood grain and concrete.
#include "datagen/surface_pictures.h"

#include <cmath>

#include "datagen/noise.h"
#include "datagen/random.h"
#include "datagen/vec.h"

namespace datagen {

Raster makeWood() {
  const int width = 512, height = 256;
  const Color earlywood = rgb255(232, 206, 166);
  const Color latewood = rgb255(184, 140, 94);
  const Color streak = rgb255(206, 170, 124);
  Raster r(width, height);
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      // Plank coordinates: x along the grain (0..14 units), y across (0..5).
      double x = 14.0 * (i + 0.5) / width, y = 5.0 * (j + 0.5) / height;
      // Growth rings of a log whose pith runs below the plank, slightly tilted, so the
      // rings cut the surface in long stretched arches.
      double wobble = 0.12 * fractalNoise(x * 0.12, y * 0.35, 0x3001u, 3) + 0.02 * gradientNoise(x * 1.5, y * 3.0, 0x3002u);
      double depth = 1.6 + 0.09 * x + 0.25 * std::sin(x * 0.21);
      double radius = std::sqrt((y - 2.4) * (y - 2.4) + depth * depth) + wobble;
      double ring = radius * 4.2;
      double phase = ring - std::floor(ring);
      // Earlywood fades slowly into a thin, darker latewood band.
      double late = smoothstep(0.68, 0.9, phase) * (1 - smoothstep(0.93, 1.0, phase));
      Color c = mixColor(earlywood, latewood, 0.7 * late);
      // Fine fibres along the grain.
      double fibre = fractalNoise(x * 1.5, y * 60.0, 0x3003u, 3, 0.5);
      c = mixColor(c, streak, 0.3 * (0.5 + 0.5 * fibre));
      double tone = 1 + 0.05 * fractalNoise(x * 0.4, y * 1.2, 0x3004u, 2);
      r.at(i, j) = shade(c, tone);
    }
  }
  return r;
}

Raster makeConcrete() {
  const int n = 256;
  const Color base = rgb255(196, 194, 188);
  const Color dark = rgb255(150, 148, 144);
  const Color light = rgb255(214, 212, 206);
  Raster r(n, n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      double u = (i + 0.5) / n, v = (j + 0.5) / n;
      double stains = fractalNoise(u * 3, v * 3, 0x4001u, 3, 0.5, 3, 3);
      double grain = fractalNoise(u * 24, v * 24, 0x4002u, 3, 0.55, 24, 24);
      Color c = mixColor(base, stains > 0 ? dark : light, std::min(1.0, std::fabs(stains) * 0.8));
      c = shade(c, 1 + 0.07 * grain);
      // Aggregate specks and small air pores.
      double speck = gradientNoise(u * 90, v * 90, 0x4003u, 90, 90);
      if (speck > 0.55) c = mixColor(c, light, smoothstep(0.55, 0.75, speck) * 0.6);
      double pore = gradientNoise(u * 70 + 0.5, v * 70 + 0.5, 0x4004u, 70, 70);
      if (pore < -0.62) c = mixColor(c, rgb255(110, 108, 104), smoothstep(-0.62, -0.8, pore));
      r.at(i, j) = c;
    }
  }
  return r;
}

}  // namespace datagen
