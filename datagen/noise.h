// Gradient noise and fractal sums for the generated pictures; a period (in lattice
// cells) makes the noise tile, so textures repeat without seams.
#pragma once

#include <cstdint>

namespace datagen {

// Perlin gradient noise in about [-1, 1]. A period of 0 means no wrap on that axis;
// otherwise the noise repeats every `periodX` / `periodY` units.
double gradientNoise(double x, double y, uint32_t seed, int periodX = 0, int periodY = 0);

// Sum of `octaves` noise layers, each at twice the frequency and `gain` times the
// amplitude of the last; normalised to about [-1, 1]. Periods double with the frequency,
// so a tiling first octave gives a tiling sum.
double fractalNoise(double x, double y, uint32_t seed, int octaves, double gain = 0.5, int periodX = 0,
                    int periodY = 0);

// Noise along a closed loop: `turns` in [0, 1) runs once round a circle in the noise
// plane, so the result is periodic with period 1. `features` sets roughly how many
// bumps one turn holds.
double loopNoise(double turns, double features, uint32_t seed, int octaves, double gain = 0.5);

}  // namespace datagen
