// Pictures while they are made (floating-point RGBA) and as stored (8-bit RGB or RGBA).
// Row 0 is the bottom row everywhere, as in OpenGL textures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace datagen {

struct Color {
  double r = 0, g = 0, b = 0, a = 1;
};

inline Color operator+(Color p, Color q) { return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a}; }
inline Color operator*(Color p, double s) { return {p.r * s, p.g * s, p.b * s, p.a * s}; }
inline Color operator*(Color p, Color q) { return {p.r * q.r, p.g * q.g, p.b * q.b, p.a * q.a}; }
// Colour from 8-bit components, for palettes written the way artists read them.
inline Color rgb255(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1}; }
Color mixColor(Color p, Color q, double t);
// Multiplies the colour's brightness, keeping alpha.
Color shade(Color p, double factor);

// An 8-bit picture as the writers take it: `channels` 3 (RGB) or 4 (RGBA), rows unpadded.
struct Image8 {
  int width = 0;
  int height = 0;
  int channels = 3;
  std::vector<uint8_t> pixels;

  const uint8_t* pixel(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
};

class Raster {
 public:
  Raster() = default;
  Raster(int width, int height, Color fill = Color{});

  int width() const { return width_; }
  int height() const { return height_; }
  Color& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const Color& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

  // Bilinear sample at texture coordinates (s, t) in [0, 1], texel centres at
  // (i + 0.5) / width; `wrap` repeats like GL_REPEAT, otherwise edges clamp.
  Color sample(double s, double t, bool wrap) const;

  // Rounds to 8 bits. A dither of up to half a step (hashed per texel and channel,
  // so still deterministic) keeps smooth gradients free of bands.
  Image8 toImage8(int channels, bool dither, uint32_t seed = 0) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Color> pixels_;
};

// Image8 back to floating point (for previews that compose stored pictures).
Raster toRaster(const Image8& image);

// Resamples to a new size with bilinear filtering (used for previews only).
Raster resized(const Raster& source, int width, int height, bool wrap);

}  // namespace datagen
