// Truevision TGA encoder (types 2 and 10, 24 and 32 bits, both row orders).
#include "datagen/tga_writer.h"

#include <cstring>
#include <stdexcept>

#include "datagen/byte_order.h"

namespace datagen {

namespace {

// The pixels in storage order, each as its stored bytes (blue, green, red[, alpha]).
std::vector<uint8_t> storedPixels(const Image8& image, int bytesPerPixel, bool topRowFirst) {
  std::vector<uint8_t> stream;
  stream.reserve(static_cast<size_t>(image.width) * image.height * bytesPerPixel);
  for (int k = 0; k < image.height; ++k) {
    int y = topRowFirst ? image.height - 1 - k : k;
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.pixel(x, y);
      stream.push_back(p[2]);
      stream.push_back(p[1]);
      stream.push_back(p[0]);
      if (bytesPerPixel == 4) stream.push_back(image.channels == 4 ? p[3] : 255);
    }
  }
  return stream;
}

void appendRunLength(std::vector<uint8_t>& out, const std::vector<uint8_t>& stream, int bpp) {
  const size_t count = stream.size() / bpp;
  auto same = [&](size_t i, size_t j) { return std::memcmp(&stream[i * bpp], &stream[j * bpp], bpp) == 0; };
  size_t i = 0;
  while (i < count) {
    size_t run = 1;
    while (i + run < count && run < 128 && same(i, i + run)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
      out.insert(out.end(), stream.begin() + i * bpp, stream.begin() + (i + 1) * bpp);
      i += run;
      continue;
    }
    // Raw packet: gather pixels until two equal neighbours would start a run.
    size_t j = i;
    while (j < count && j - i < 128) {
      if (j + 1 < count && same(j, j + 1)) break;
      ++j;
    }
    out.push_back(static_cast<uint8_t>(j - i - 1));
    out.insert(out.end(), stream.begin() + i * bpp, stream.begin() + j * bpp);
    i = j;
  }
}

}  // namespace

std::vector<uint8_t> encodeTga(const Image8& image, const TgaOptions& options) {
  if (options.bitsPerPixel != 24 && options.bitsPerPixel != 32) throw std::invalid_argument("TGA depth");
  if (options.imageId.size() > 255) throw std::invalid_argument("TGA image ID longer than 255 bytes");
  const int bpp = options.bitsPerPixel / 8;

  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(options.imageId.size()));
  out.push_back(0);                            // no colour map
  out.push_back(options.runLength ? 10 : 2);  // true colour, RLE or not
  putU16(out, 0);                              // colour map start, length, entry size
  putU16(out, 0);
  out.push_back(0);
  putU16(out, 0);  // x and y origin
  putU16(out, 0);
  putU16(out, static_cast<uint32_t>(image.width));
  putU16(out, static_cast<uint32_t>(image.height));
  out.push_back(static_cast<uint8_t>(options.bitsPerPixel));
  // Bits 0-3 count the alpha bits per pixel; bit 0x20 puts the top row first.
  out.push_back(static_cast<uint8_t>((bpp == 4 ? 8 : 0) | (options.topRowFirst ? 0x20 : 0)));
  out.insert(out.end(), options.imageId.begin(), options.imageId.end());

  std::vector<uint8_t> stream = storedPixels(image, bpp, options.topRowFirst);
  if (options.runLength) {
    appendRunLength(out, stream, bpp);
  } else {
    out.insert(out.end(), stream.begin(), stream.end());
  }
  return out;
}

}  // namespace datagen
