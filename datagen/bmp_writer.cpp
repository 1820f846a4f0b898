// Windows bitmap encoder (24-bit, bottom-up, padded rows).
#include "datagen/bmp_writer.h"

#include "datagen/byte_order.h"

namespace datagen {

std::vector<uint8_t> encodeBmp(const Image8& image) {
  const uint32_t FILE_HEADER_SIZE = 14, INFO_HEADER_SIZE = 40;
  const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(image.height);
  const uint32_t offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE;

  std::vector<uint8_t> out;
  out.reserve(offset + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  putU32(out, offset + pixelBytes);
  putU16(out, 0);
  putU16(out, 0);
  putU32(out, offset);

  putU32(out, INFO_HEADER_SIZE);
  putU32(out, static_cast<uint32_t>(image.width));
  putU32(out, static_cast<uint32_t>(image.height));  // positive: bottom row first
  putU16(out, 1);                                     // planes
  putU16(out, 24);                                    // bits per pixel
  putU32(out, 0);                                     // no compression
  putU32(out, pixelBytes);
  putU32(out, 2835);  // 72 dpi, in pixels per metre
  putU32(out, 2835);
  putU32(out, 0);  // no palette
  putU32(out, 0);

  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.pixel(x, y);
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
    }
    for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace datagen
