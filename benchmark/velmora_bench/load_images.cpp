// Generated pictures with the texture of real ones: smooth gradients, flat
// areas (run-length packets) and noisy areas (raw packets). Integer hashing
// only, so the bytes depend on nothing but this code.
#include "benchmark/velmora_bench/load_images.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/output_file.h"

namespace {

std::uint32_t hash(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

// Blue, green, red, alpha of the pixel at column x of row y (row 0 at the bottom).
void pixelAt(int x, int y, unsigned char* bgra) {
  const int band = (x / 256 + y / 256) % 3;
  if (band == 0) {
    // Flat tiles: long runs.
    bgra[0] = static_cast<unsigned char>(40 + (y / 256) * 20);
    bgra[1] = 160;
    bgra[2] = static_cast<unsigned char>(200 - (x / 256) * 10);
  } else if (band == 1) {
    // Gradient: runs of a few pixels.
    bgra[0] = static_cast<unsigned char>(x / 8);
    bgra[1] = static_cast<unsigned char>(y / 8);
    bgra[2] = static_cast<unsigned char>((x + y) / 16);
  } else {
    // Noise: raw packets.
    const std::uint32_t h = hash(static_cast<std::uint32_t>(y) * 65536u + static_cast<std::uint32_t>(x));
    bgra[0] = static_cast<unsigned char>(h);
    bgra[1] = static_cast<unsigned char>(h >> 8);
    bgra[2] = static_cast<unsigned char>(h >> 16);
  }
  bgra[3] = static_cast<unsigned char>(255 - (x * 255 / 2048) / 2);
}

void put16(std::FILE* file, unsigned value) {
  std::fputc(static_cast<int>(value & 0xFF), file);
  std::fputc(static_cast<int>((value >> 8) & 0xFF), file);
}

void put32(std::FILE* file, std::uint32_t value) {
  put16(file, value & 0xFFFF);
  put16(file, value >> 16);
}

bool writeBmp(const std::string& path, int width, int height) {
  OutputFile output(path);
  std::FILE* file = output.stream();
  if (file == nullptr) return false;
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
  const std::uint32_t dataBytes = rowBytes * static_cast<std::uint32_t>(height);
  std::fputc('B', file);
  std::fputc('M', file);
  put32(file, 54 + dataBytes);
  put32(file, 0);
  put32(file, 54);
  put32(file, 40);
  put32(file, static_cast<std::uint32_t>(width));
  put32(file, static_cast<std::uint32_t>(height));
  put16(file, 1);
  put16(file, 24);
  for (int i = 0; i < 6; ++i) put32(file, i == 1 ? dataBytes : (i >= 2 && i < 4 ? 2835 : 0));
  std::vector<unsigned char> row(rowBytes, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char bgra[4];
      pixelAt(x, y, bgra);
      row[3 * x] = bgra[0];
      row[3 * x + 1] = bgra[1];
      row[3 * x + 2] = bgra[2];
    }
    std::fwrite(row.data(), 1, row.size(), file);
  }
  return output.commit().empty();
}

bool writeTga(const std::string& path, int width, int height, int bytesPerPixel, bool runLength) {
  OutputFile output(path);
  std::FILE* file = output.stream();
  if (file == nullptr) return false;
  const unsigned char header[] = {0, 0, static_cast<unsigned char>(runLength ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::fwrite(header, 1, sizeof header, file);
  put16(file, static_cast<unsigned>(width));
  put16(file, static_cast<unsigned>(height));
  std::fputc(bytesPerPixel * 8, file);
  std::fputc(bytesPerPixel == 4 ? 8 : 0, file);  // alpha bits; bottom row first
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * bytesPerPixel);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char bgra[4];
      pixelAt(x, y, bgra);
      for (int k = 0; k < bytesPerPixel; ++k) pixels[(static_cast<size_t>(y) * width + x) * bytesPerPixel + k] = bgra[k];
    }
  }
  if (!runLength) {
    std::fwrite(pixels.data(), 1, pixels.size(), file);
    return output.commit().empty();
  }
  // Packets run across row ends, as the format allows.
  const size_t count = static_cast<size_t>(width) * height;
  auto same = [&](size_t a, size_t b) {
    for (int k = 0; k < bytesPerPixel; ++k) {
      if (pixels[a * bytesPerPixel + k] != pixels[b * bytesPerPixel + k]) return false;
    }
    return true;
  };
  size_t i = 0;
  while (i < count) {
    size_t run = 1;
    while (i + run < count && run < 128 && same(i, i + run)) ++run;
    if (run >= 2) {
      std::fputc(static_cast<int>(0x80 | (run - 1)), file);
      std::fwrite(&pixels[i * bytesPerPixel], 1, static_cast<size_t>(bytesPerPixel), file);
      i += run;
      continue;
    }
    size_t raw = 1;
    while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1))) ++raw;
    std::fputc(static_cast<int>(raw - 1), file);
    std::fwrite(&pixels[i * bytesPerPixel], 1, raw * bytesPerPixel, file);
    i += raw;
  }
  return output.commit().empty();
}

}  // namespace

std::vector<BenchImage> makeBenchImages(const std::string& folder, bool quick) {
  std::vector<BenchImage> images;
  if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return images;
  const int height = quick ? 512 : 2048;
  const std::string bmp = folder + "/padded-2047.bmp";
  const std::string rle = folder + "/rle-32.tga";
  const std::string raw = folder + "/raw-24.tga";
  if (!writeBmp(bmp, 2047, height) || !writeTga(rle, 2048, height, 4, true) || !writeTga(raw, 2048, height, 3, false)) {
    return images;
  }
  char label[64];
  std::snprintf(label, sizeof label, "BMP 2047x%d 24-bit padded", height);
  images.push_back({label, bmp});
  std::snprintf(label, sizeof label, "TGA 2048x%d 32-bit RLE", height);
  images.push_back({label, rle});
  std::snprintf(label, sizeof label, "TGA 2048x%d 24-bit raw", height);
  images.push_back({label, raw});
  return images;
}
