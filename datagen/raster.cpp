// Pictures while they are made and as stored.
#include "datagen/raster.h"

#include <cmath>

#include "datagen/random.h"
#include "datagen/vec.h"

namespace datagen {

Color mixColor(Color p, Color q, double t) {
  return {mix(p.r, q.r, t), mix(p.g, q.g, t), mix(p.b, q.b, t), mix(p.a, q.a, t)};
}

Color shade(Color p, double factor) { return {p.r * factor, p.g * factor, p.b * factor, p.a}; }

Raster::Raster(int width, int height, Color fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

Color Raster::sample(double s, double t, bool wrap) const {
  double x = s * width_ - 0.5, y = t * height_ - 0.5;
  double fx = std::floor(x), fy = std::floor(y);
  int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  double u = x - fx, v = y - fy;
  auto fetch = [&](int i, int j) -> const Color& {
    if (wrap) {
      i = ((i % width_) + width_) % width_;
      j = ((j % height_) + height_) % height_;
    } else {
      i = i < 0 ? 0 : (i >= width_ ? width_ - 1 : i);
      j = j < 0 ? 0 : (j >= height_ ? height_ - 1 : j);
    }
    return at(i, j);
  };
  Color bottom = mixColor(fetch(x0, y0), fetch(x0 + 1, y0), u);
  Color top = mixColor(fetch(x0, y0 + 1), fetch(x0 + 1, y0 + 1), u);
  return mixColor(bottom, top, v);
}

Image8 Raster::toImage8(int channels, bool dither, uint32_t seed) const {
  Image8 image;
  image.width = width_;
  image.height = height_;
  image.channels = channels;
  image.pixels.resize(static_cast<size_t>(width_) * height_ * channels);
  size_t k = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const Color& c = at(x, y);
      double values[4] = {c.r, c.g, c.b, c.a};
      for (int ch = 0; ch < channels; ++ch) {
        double offset = dither && ch < 3 ? hashUnit(x, y, ch, seed) - 0.5 : 0.0;
        double v = std::floor(clamp01(values[ch]) * 255.0 + 0.5 + offset);
        image.pixels[k++] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
      }
    }
  }
  return image;
}

Raster toRaster(const Image8& image) {
  Raster raster(image.width, image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.pixel(x, y);
      raster.at(x, y) = {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0, image.channels == 4 ? p[3] / 255.0 : 1.0};
    }
  }
  return raster;
}

Raster resized(const Raster& source, int width, int height, bool wrap) {
  Raster out(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      out.at(x, y) = source.sample((x + 0.5) / width, (y + 0.5) / height, wrap);
    }
  }
  return out;
}

}  // namespace datagen
