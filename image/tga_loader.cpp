// TGA decoding. Sizes are checked against the caps and the file before the
// image is allocated, and a file that ends before its last pixel is refused.
#include "image/tga_loader.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "image/bgr_swizzle.h"
#include "image/image.h"

namespace {

constexpr std::uint8_t TGA_TRUE_COLOR = 2;
constexpr std::uint8_t TGA_TRUE_COLOR_RLE = 10;
constexpr std::uint8_t TGA_TOP_ROW_FIRST = 0x20;
constexpr std::uint8_t TGA_RIGHT_TO_LEFT = 0x10;
constexpr std::uint64_t HEADER_BYTES = 18;
constexpr std::uint8_t RLE_RUN_PACKET = 0x80;
constexpr std::uint8_t RLE_COUNT_MASK = 0x7F;
constexpr std::uint64_t RLE_MAX_PACKET_PIXELS = 128;
constexpr std::uint64_t MAX_PACKET_BYTES = 1 + RLE_MAX_PACKET_PIXELS * 4;

// Hands out the packet bytes of a run-length stream from a buffer refilled in
// large reads, so that decoding never goes to the stream per byte.
class PacketBytes {
 public:
  // `fileBytes` bounds the buffer for small files; it always holds the largest packet.
  PacketBytes(std::ifstream& file, std::uint64_t fileBytes)
      : file(file), buffer(static_cast<std::size_t>(std::clamp<std::uint64_t>(fileBytes, MAX_PACKET_BYTES, 64 * 1024))) {}

  // Makes `count` (at most one packet's worth) bytes available; false when the file ends first.
  bool Need(std::size_t count) {
    if (end - pos >= count) return true;
    std::memmove(buffer.data(), buffer.data() + pos, end - pos);
    end -= pos;
    pos = 0;
    if (file) {
      file.read(reinterpret_cast<char*>(buffer.data() + end), static_cast<std::streamsize>(buffer.size() - end));
      end += static_cast<std::size_t>(file.gcount());
    }
    return end >= count;
  }

  const unsigned char* Take(std::size_t count) {
    const unsigned char* bytes = buffer.data() + pos;
    pos += count;
    return bytes;
  }

 private:
  std::ifstream& file;
  std::vector<unsigned char> buffer;
  std::size_t pos = 0;
  std::size_t end = 0;
};

// The packets of a run-length image with `BYTES_PER_PIXEL` fixed, so that
// every pixel copy is a copy of a known size rather than a call.
template <std::size_t BYTES_PER_PIXEL>
bool decodePackets(PacketBytes& in, CImage* image, int width, int height, bool topFirst) {
  constexpr std::size_t bytesPerPixel = BYTES_PER_PIXEL;
  const int step = topFirst ? -1 : 1;
  int row = topFirst ? height - 1 : 0;
  int column = 0;
  std::uint64_t left = static_cast<std::uint64_t>(width) * height;
  unsigned char* target = left != 0 ? image->GetRow(row) : nullptr;

  // Moves on by `count` pixels of the current row, to the next row at its end.
  auto advance = [&](int count) {
    column += count;
    left -= static_cast<std::uint64_t>(count);
    if (column == width) {
      column = 0;
      row += step;
      if (left != 0) target = image->GetRow(row);
    }
  };

  while (left != 0) {
    if (!in.Need(1)) return false;
    const std::uint8_t packet = *in.Take(1);
    // A packet longer than what is left of the image is cut at its last pixel.
    std::uint64_t count = std::min<std::uint64_t>((packet & RLE_COUNT_MASK) + 1u, left);
    if (packet & RLE_RUN_PACKET) {
      if (!in.Need(bytesPerPixel)) return false;
      unsigned char color[4];
      std::memcpy(color, in.Take(bytesPerPixel), bytesPerPixel);
      std::swap(color[0], color[2]);
      while (count != 0) {
        const int span = static_cast<int>(std::min<std::uint64_t>(count, static_cast<std::uint64_t>(width - column)));
        unsigned char* pixel = target + static_cast<std::size_t>(column) * bytesPerPixel;
        for (int i = 0; i < span; ++i, pixel += bytesPerPixel) std::memcpy(pixel, color, bytesPerPixel);
        count -= static_cast<std::uint64_t>(span);
        advance(span);
      }
    } else {
      if (!in.Need(count * bytesPerPixel)) return false;
      const unsigned char* stored = in.Take(count * bytesPerPixel);
      while (count != 0) {
        const int span = static_cast<int>(std::min<std::uint64_t>(count, static_cast<std::uint64_t>(width - column)));
        unsigned char* pixel = target + static_cast<std::size_t>(column) * bytesPerPixel;
        std::memcpy(pixel, stored, span * bytesPerPixel);
        swapRedBlue<BYTES_PER_PIXEL>(pixel, static_cast<std::size_t>(span));
        stored += span * bytesPerPixel;
        count -= static_cast<std::uint64_t>(span);
        advance(span);
      }
    }
  }
  return true;
}

// Rows stored right to left are decoded in stored order and then turned around,
// so that run-length packets crossing a row end need no special case.
void mirrorRows(CImage* image) {
  const int width = image->GetWidth();
  const int bytesPerPixel = image->GetBytesPerPixel();
  if (width < 2) return;  // nothing to turn around (and no last pixel to point at when empty)
  for (int row = 0; row < image->GetHeight(); ++row) {
    unsigned char* left = image->GetRow(row);
    unsigned char* right = left + static_cast<std::size_t>(width - 1) * bytesPerPixel;
    for (; left < right; left += bytesPerPixel, right -= bytesPerPixel) std::swap_ranges(left, left + bytesPerPixel, right);
  }
}

const char* imageTypeName(std::uint8_t type) {
  switch (type) {
    case 0: return "no picture";
    case 1: return "colour-mapped";
    case 3: return "grey-scale";
    case 9: return "run-length colour-mapped";
    case 11: return "run-length grey-scale";
    case 32:
    case 33: return "compressed colour-mapped";
    default: return "unknown";
  }
}

}  // namespace

void CTGAImageLoader::ReadWord(std::uint16_t* value) {
  const unsigned char low = static_cast<unsigned char>(file.get());
  const unsigned char high = static_cast<unsigned char>(file.get());
  *value = static_cast<std::uint16_t>(high * 256 + low);
}

void CTGAImageLoader::ReadHeader() {
  auto readByte = [this](std::uint8_t* value) { *value = static_cast<std::uint8_t>(file.get()); };
  readByte(&header.idLength);
  readByte(&header.colorMapType);
  readByte(&header.imageType);
  ReadWord(&header.colorMapStart);
  ReadWord(&header.colorMapLength);
  readByte(&header.colorMapEntrySize);
  ReadWord(&header.xOrigin);
  ReadWord(&header.yOrigin);
  ReadWord(&header.width);
  ReadWord(&header.height);
  readByte(&header.pixelDepth);
  readByte(&header.descriptor);
}

bool CTGAImageLoader::Decode(const char* fileName, CImage* image) {
  if (!OpenFile(fileName)) return false;

  header = TGAHeader();
  ReadHeader();
  if (!file) return Refuse(TruncatedAt(HEADER_BYTES));

  int bytesPerPixel = 0;
  if (header.pixelDepth == 24) {
    bytesPerPixel = 3;
  } else if (header.pixelDepth == 32) {
    bytesPerPixel = 4;
  } else {
    std::cerr << "CTGAImageLoader::Load() - Unsupported color depth - ." << static_cast<int>(header.pixelDepth)
              << std::endl;
    return Refuse("unsupported colour depth of " + std::to_string(header.pixelDepth) +
                  " bits per pixel; only 24- and 32-bit TGA pictures are read");
  }
  if (header.imageType != TGA_TRUE_COLOR && header.imageType != TGA_TRUE_COLOR_RLE) {
    std::cerr << "CTGAImageLoader::Load() - Unsupported image type." << std::endl;
    return Refuse("unsupported image type " + std::to_string(header.imageType) + " (" +
                  imageTypeName(header.imageType) +
                  "); only true-colour TGA pictures, uncompressed (2) or run-length encoded (10), are read");
  }
  const std::string sizeProblem = imageSizeProblem(header.width, header.height, bytesPerPixel);
  if (!sizeProblem.empty()) return Refuse(sizeProblem);

  // A true-colour picture may still carry a colour map (type 1 in the header):
  // it lies between the ID field and the pixels and is skipped, never taken as pixels.
  const std::uint64_t colorMapBytes =
      header.colorMapType == 1 ? std::uint64_t(header.colorMapLength) * ((header.colorMapEntrySize + 7u) / 8u) : 0;
  const std::uint64_t pixelStart = HEADER_BYTES + header.idLength + colorMapBytes;

  // The least the file must hold for this size: every pixel stored once, or for
  // run-length data one 128-pixel run packet (header byte + one pixel) per 128 pixels.
  const std::uint64_t pixels = static_cast<std::uint64_t>(header.width) * header.height;
  const std::uint64_t leastBytes =
      header.imageType == TGA_TRUE_COLOR
          ? pixels * bytesPerPixel
          : (pixels + RLE_MAX_PACKET_PIXELS - 1) / RLE_MAX_PACKET_PIXELS * (1 + bytesPerPixel);
  if (pixelStart + leastBytes > fileSize) return Refuse(TruncatedAt(pixelStart + leastBytes));
  if (!file.seekg(static_cast<std::streamoff>(pixelStart))) return Refuse(TruncatedAt(pixelStart));

  try {
    image->Create(header.width, header.height, bytesPerPixel == 4 ? GL_RGBA : GL_RGB);
  } catch (const std::bad_alloc&) {
    return Refuse("not enough memory for " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                  " pixels");
  }
  const bool complete = header.imageType == TGA_TRUE_COLOR ? ReadRawPixels(image)
                                                           : ReadRunLengthPixels(image, fileSize - pixelStart);
  if (!complete) {
    return Refuse("truncated at byte " + std::to_string(fileSize) +
                  ": the pixel data ends before the last pixel; the file is damaged or was not copied whole");
  }
  if (header.descriptor & TGA_RIGHT_TO_LEFT) mirrorRows(image);
  return true;
}

bool CTGAImageLoader::ReadRawPixels(CImage* image) {
  const int width = header.width;
  const int height = header.height;
  const int bytesPerPixel = image->GetBytesPerPixel();
  const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
  if (header.descriptor & TGA_TOP_ROW_FIRST) {
    for (int row = height - 1; row >= 0; --row) {
      if (!ReadBytes(image->GetRow(row), rowBytes)) return false;
    }
  } else if (!ReadBytes(image->GetData(), rowBytes * height)) {
    // Bottom row first is the image's own order: the pixel array is one read.
    return false;
  }
  swapRedBlue(image->GetData(), static_cast<std::size_t>(width) * height, bytesPerPixel);
  return true;
}

bool CTGAImageLoader::ReadRunLengthPixels(CImage* image, std::uint64_t bytesLeft) {
  PacketBytes in(file, bytesLeft);
  const bool topFirst = (header.descriptor & TGA_TOP_ROW_FIRST) != 0;
  return image->GetBytesPerPixel() == 4 ? decodePackets<4>(in, image, header.width, header.height, topFirst)
                                        : decodePackets<3>(in, image, header.width, header.height, topFirst);
}
