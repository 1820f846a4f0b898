// Gradient noise and fractal sums for the generated pictures.
#include "datagen/noise.h"

#include <cmath>

#include "datagen/random.h"
#include "datagen/vec.h"

namespace datagen {

namespace {

constexpr int GRADIENT_COUNT = 32;

struct GradientTable {
  double gx[GRADIENT_COUNT];
  double gy[GRADIENT_COUNT];
  GradientTable() {
    for (int i = 0; i < GRADIENT_COUNT; ++i) {
      double a = 2 * PI * (i + 0.5) / GRADIENT_COUNT;
      gx[i] = std::cos(a);
      gy[i] = std::sin(a);
    }
  }
};

const GradientTable& gradients() {
  static const GradientTable table;
  return table;
}

int wrapIndex(int i, int period) {
  if (period <= 0) return i;
  int m = i % period;
  return m < 0 ? m + period : m;
}

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

double corner(int ix, int iy, double dx, double dy, uint32_t seed, int px, int py) {
  const GradientTable& g = gradients();
  uint32_t h = hashLattice(wrapIndex(ix, px), wrapIndex(iy, py), seed) % GRADIENT_COUNT;
  return g.gx[h] * dx + g.gy[h] * dy;
}

}  // namespace

double gradientNoise(double x, double y, uint32_t seed, int periodX, int periodY) {
  double fx = std::floor(x), fy = std::floor(y);
  int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  double dx = x - fx, dy = y - fy;
  double n00 = corner(ix, iy, dx, dy, seed, periodX, periodY);
  double n10 = corner(ix + 1, iy, dx - 1, dy, seed, periodX, periodY);
  double n01 = corner(ix, iy + 1, dx, dy - 1, seed, periodX, periodY);
  double n11 = corner(ix + 1, iy + 1, dx - 1, dy - 1, seed, periodX, periodY);
  double u = fade(dx), v = fade(dy);
  // Raw 2D Perlin noise stays within about +-0.71; scale it to about +-1.
  return 1.41 * mix(mix(n00, n10, u), mix(n01, n11, u), v);
}

double fractalNoise(double x, double y, uint32_t seed, int octaves, double gain, int periodX, int periodY) {
  double sum = 0, amplitude = 1, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * gradientNoise(x, y, seed + 1013u * o, periodX, periodY);
    total += amplitude;
    amplitude *= gain;
    x *= 2;
    y *= 2;
    periodX *= 2;
    periodY *= 2;
  }
  return sum / total;
}

double loopNoise(double turns, double features, uint32_t seed, int octaves, double gain) {
  double radius = features / (2 * PI);
  double a = 2 * PI * turns;
  // Offset the circle's centre so it does not sit on a lattice point, where noise is 0.
  return fractalNoise(37.31 + radius * std::cos(a), 91.77 + radius * std::sin(a), seed, octaves, gain);
}

}  // namespace datagen
