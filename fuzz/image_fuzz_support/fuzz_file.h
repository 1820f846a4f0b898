// Shared by the image fuzz targets: the loaders read files, so each input is
// written to a per-process scratch file first; and a check that a decoded image is whole.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "image/image.h"

namespace imagefuzz {

// A folder of this process's own in /dev/shm (or /tmp), removed at exit. The
// path is never destroyed, so the exit handler can still use it.
inline const std::string& scratchDir() {
  static const std::string* dir = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    auto* path = new std::string(std::string(base) + "/velmora-fuzz-" + std::to_string(getpid()));
    std::error_code error;
    std::filesystem::create_directories(*path, error);
    if (error) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchDir(), ignored);
    });
    return path;
  }();
  return *dir;
}

inline void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);
}

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

}  // namespace imagefuzz
