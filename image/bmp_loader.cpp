// BMP decoding: the two headers, size checks against the file, then the rows
// read in large blocks and turned from BGR into RGB in place.
#include "image/bmp_loader.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "image/bgr_swizzle.h"
#include "image/image.h"

namespace {

constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr std::size_t INFO_HEADER_SIZE = 40;
constexpr std::uint16_t BMP_SIGNATURE = 0x4D42;  // 'B', 'M'
constexpr std::uint16_t BMP_SUPPORTED_BITS = 24;
constexpr std::size_t ROW_BLOCK_BYTES = 256 * 1024;

std::uint16_t readU16(const unsigned char* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readU32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::int32_t readS32(const unsigned char* bytes) { return static_cast<std::int32_t>(readU32(bytes)); }

}  // namespace

bool CBMPImageLoader::Load(const char* fileName, CImage* image) {
  CloseOnExit closer(file);
  if (Decode(fileName, image)) return true;
  // Whatever the image held before, a refused file leaves it without pixels.
  image->Release();
  return false;
}

bool CBMPImageLoader::Decode(const char* fileName, CImage* image) {
  file.open(fileName, std::ios::in | std::ios::binary);
  if (!file.good()) return false;

  unsigned char fileHeader[FILE_HEADER_SIZE];
  if (!ReadBytes(fileHeader, sizeof fileHeader) || readU16(fileHeader) != BMP_SIGNATURE) return false;
  unsigned char infoHeader[INFO_HEADER_SIZE];
  if (!ReadBytes(infoHeader, sizeof infoHeader) || readU16(infoHeader + 14) != BMP_SUPPORTED_BITS) return false;

  const std::uint32_t dataOffset = readU32(fileHeader + 10);
  const std::int32_t width = readS32(infoHeader + 4);
  const std::int32_t storedHeight = readS32(infoHeader + 8);
  const std::uint32_t compression = readU32(infoHeader + 16);
  // Compressed or bit-field data is not a plain pixel array; a negative width means nothing.
  if (compression != 0 || width < 0 || storedHeight == INT32_MIN) return false;
  const bool topDown = storedHeight < 0;
  const std::int32_t height = topDown ? -storedHeight : storedHeight;

  // 3 x width rounded up to a multiple of 4; the image's rowSize must fit an int.
  const std::uint64_t pixelBytes = 3 * static_cast<std::uint64_t>(width);
  if (pixelBytes > INT_MAX) return false;
  const std::uint64_t fileRowBytes = (pixelBytes + 3) / 4 * 4;

  // Every row's pixels must lie in the file; the last row may go without its padding.
  const std::int64_t fileSize = file.seekg(0, std::ios::end) ? static_cast<std::int64_t>(file.tellg()) : -1;
  if (fileSize < 0) return false;
  if (pixelBytes != 0 && height != 0) {
    const std::uint64_t needed = fileRowBytes * (static_cast<std::uint64_t>(height) - 1) + pixelBytes;
    if (dataOffset > static_cast<std::uint64_t>(fileSize) || needed > static_cast<std::uint64_t>(fileSize) - dataOffset)
      return false;
  }

  try {
    image->Create(width, height, GL_RGB);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!file.seekg(dataOffset)) return false;

  // File row i is image row i bottom-up, image row height-1-i top-down.
  auto imageRow = [&](std::int32_t fileRow) { return image->GetRow(topDown ? height - 1 - fileRow : fileRow); };
  bool complete = true;
  if (pixelBytes == 0 || height == 0) {
    // No pixels to read.
  } else if (fileRowBytes == pixelBytes) {
    // Unpadded rows are the image's own layout: one read, then flip if stored top-down.
    complete = ReadBytes(image->GetData(), pixelBytes * height);
    if (complete && topDown) {
      for (std::int32_t low = 0, high = height - 1; low < high; ++low, --high) {
        std::swap_ranges(image->GetRow(low), image->GetRow(low) + pixelBytes, image->GetRow(high));
      }
    }
  } else if (fileRowBytes > ROW_BLOCK_BYTES) {
    // Rows too long for the block buffer are read in place, their padding skipped.
    for (std::int32_t i = 0; complete && i < height; ++i) {
      complete = ReadBytes(imageRow(i), pixelBytes);
      if (complete && i + 1 < height) {
        file.ignore(static_cast<std::streamsize>(fileRowBytes - pixelBytes));
        complete = static_cast<std::uint64_t>(file.gcount()) == fileRowBytes - pixelBytes;
      }
    }
  } else {
    // Padded rows go through a block buffer of whole file rows; the padding stays behind.
    const std::int32_t rowsPerBlock =
        static_cast<std::int32_t>(ROW_BLOCK_BYTES / fileRowBytes);
    std::vector<unsigned char> block(static_cast<std::size_t>(std::min(rowsPerBlock, height) * fileRowBytes));
    for (std::int32_t first = 0; complete && first < height; first += rowsPerBlock) {
      const std::int32_t rows = std::min(rowsPerBlock, height - first);
      const bool lastBlock = first + rows == height;
      const std::size_t blockBytes = static_cast<std::size_t>(
          fileRowBytes * (rows - 1) + (lastBlock ? pixelBytes : fileRowBytes));
      if (!ReadBytes(block.data(), blockBytes)) {
        complete = false;
        break;
      }
      for (std::int32_t i = 0; i < rows; ++i) {
        std::memcpy(imageRow(first + i), block.data() + i * fileRowBytes, pixelBytes);
      }
    }
  }
  if (!complete) return false;
  swapRedBlue(image->GetData(), static_cast<std::size_t>(width) * height, 3);
  return true;
}
