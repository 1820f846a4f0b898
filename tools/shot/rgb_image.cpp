// RGB pictures: PNG files (written by the tools' shared writer, read through
// libpng's simplified API), and the box filter that shrinks them.
#include "tools/shot/rgb_image.h"

#include <png.h>

#include <cstring>

#include "cli/png_file.h"

namespace {

void setError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

bool writePng(const std::string& path, const RgbImage& image, std::string* error) {
  std::string reason;
  if (writePngFile(path, image.width, image.height, 3, image.rgb.data(), false, &reason)) return true;
  setError(error, reason);
  return false;
}

bool readPng(const std::string& path, RgbImage* image, std::string* error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    setError(error, "cannot read " + path + ": " + png.message);
    return false;
  }
  // Whatever the file holds (grey, palette, alpha, 16 bits), read it as 8-bit
  // RGB; alpha is composed onto black.
  png.format = PNG_FORMAT_RGB;
  RgbImage result(static_cast<int>(png.width), static_cast<int>(png.height));
  const png_color black = {0, 0, 0};
  if (!png_image_finish_read(&png, &black, result.rgb.data(), 0, nullptr)) {
    setError(error, "cannot decode " + path + ": " + png.message);
    png_image_free(&png);
    return false;
  }
  *image = std::move(result);
  return true;
}

RgbImage reduceBox(const RgbImage& image, int factor) {
  if (factor <= 1) return image;
  RgbImage out(image.width / factor, image.height / factor);
  const int area = factor * factor;
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      int sum[3] = {0, 0, 0};
      for (int dy = 0; dy < factor; ++dy) {
        const unsigned char* src = image.at(x * factor, y * factor + dy);
        for (int dx = 0; dx < factor; ++dx, src += 3) {
          sum[0] += src[0];
          sum[1] += src[1];
          sum[2] += src[2];
        }
      }
      unsigned char* dst = out.at(x, y);
      for (int c = 0; c < 3; ++c) dst[c] = static_cast<unsigned char>((sum[c] + area / 2) / area);
    }
  }
  return out;
}
