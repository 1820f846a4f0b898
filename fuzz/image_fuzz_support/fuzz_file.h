// Shared by the image fuzz targets: the loaders read files, so each input is
// written to a per-process scratch file first; and a check that a decoded image is whole.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "fuzz/support/scratch_files.h"
#include "image/image.h"
#include "image/image_loader.h"

namespace imagefuzz {

using fuzzsupport::scratchDir;
using fuzzsupport::writeFile;

// The TGA loader explains every refusal on standard error; millions of those
// lines would only slow the fuzzer down. Sanitizer reports do not go through std::cerr.
inline void silenceLoaderMessages() {
  static std::ofstream* devNull = new std::ofstream("/dev/null");
  std::cerr.rdbuf(devNull->rdbuf());
}

// Where the pixel sums go, so that the compiler keeps the reads.
inline volatile unsigned pixelSum = 0;

// A loaded image must have a buffer of exactly its size; reading every byte lets
// the sanitizers see any byte that lies outside it.
inline void checkImage(const CImage& image) {
  if (image.GetWidth() < 0 || image.GetHeight() < 0) std::abort();
  if (image.GetBytesPerPixel() != 3 && image.GetBytesPerPixel() != 4) std::abort();
  if (image.GetData() == nullptr) std::abort();
  const std::size_t bytes =
      static_cast<std::size_t>(image.GetWidth()) * image.GetHeight() * image.GetBytesPerPixel();
  unsigned sum = 0;
  for (std::size_t i = 0; i < bytes; ++i) sum += image.GetData()[i];
  pixelSum = sum;
}

// One input through a single loader: a loaded image must be whole, and a
// refused file must leave no pixels behind.
inline void loadAndCheck(CImageLoader& loader, const std::string& path) {
  CImage image;
  if (loader.Load(path.c_str(), &image)) {
    checkImage(image);
  } else if (image.GetData() != nullptr) {
    std::abort();
  }
}

}  // namespace imagefuzz
