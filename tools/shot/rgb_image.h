// An 8-bit RGB picture with its top row first, as screenshots and PNG files
// hold it, with PNG reading and writing and the box filter that shrinks it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // width * height * 3 bytes, row 0 at the top

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {}

  unsigned char* at(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  bool empty() const { return width == 0 || height == 0; }
};

// Writes `image` as an 8-bit RGB PNG. Returns false with `error` set when the
// file cannot be written.
bool writePng(const std::string& path, const RgbImage& image, std::string* error = nullptr);

// Reads a PNG of any colour type and depth into 8-bit RGB (alpha is composed onto
// black, grey is spread to all three channels). Returns false with `error` set when
// the file cannot be read or is not a PNG.
bool readPng(const std::string& path, RgbImage* image, std::string* error = nullptr);

// Shrinks by `factor` in both directions, each output pixel the rounded mean
// of a factor x factor block. Rows and columns left over at the right and
// bottom edges are dropped. A factor of 1 returns the image unchanged.
RgbImage reduceBox(const RgbImage& image, int factor);
