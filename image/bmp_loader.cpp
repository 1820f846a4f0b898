// BMP decoding: the two headers, size checks against the caps and the file, then the rows
// read in large blocks and turned from BGR into RGB in place.
#include "image/bmp_loader.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
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
static_assert((3 * IMAGE_MAX_SIDE + 3) / 4 * 4 <= ROW_BLOCK_BYTES, "the widest row a BMP may have fits one block");

std::uint16_t readU16(const unsigned char* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readU32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::int32_t readS32(const unsigned char* bytes) { return static_cast<std::int32_t>(readU32(bytes)); }

const char* compressionName(std::uint32_t compression) {
  switch (compression) {
    case 1: return "8-bit run-length";
    case 2: return "4-bit run-length";
    case 3: return "bit fields";
    case 4: return "embedded JPEG";
    case 5: return "embedded PNG";
    case 6: return "bit fields with alpha";
    default: return "unknown";
  }
}

}  // namespace

bool CBMPImageLoader::Decode(const char* fileName, CImage* image) {
  if (!OpenFile(fileName)) return false;

  unsigned char fileHeader[FILE_HEADER_SIZE];
  if (!ReadBytes(fileHeader, sizeof fileHeader)) return Refuse(TruncatedAt(FILE_HEADER_SIZE + INFO_HEADER_SIZE));
  if (readU16(fileHeader) != BMP_SIGNATURE) return Refuse("not a BMP picture (it does not start with \"BM\")");
  unsigned char infoHeader[INFO_HEADER_SIZE];
  if (!ReadBytes(infoHeader, sizeof infoHeader)) return Refuse(TruncatedAt(FILE_HEADER_SIZE + INFO_HEADER_SIZE));
  const std::uint16_t bits = readU16(infoHeader + 14);
  if (bits != BMP_SUPPORTED_BITS) {
    return Refuse("unsupported bit depth of " + std::to_string(bits) +
                  " bits per pixel; only 24-bit BMP pictures are read");
  }

  const std::uint32_t dataOffset = readU32(fileHeader + 10);
  const std::int32_t width = readS32(infoHeader + 4);
  const std::int32_t storedHeight = readS32(infoHeader + 8);
  const std::uint32_t compression = readU32(infoHeader + 16);
  // Compressed or bit-field data is not a plain pixel array.
  if (compression != 0) {
    return Refuse("unsupported compression " + std::to_string(compression) + " (" + compressionName(compression) +
                  "); only uncompressed BMP pictures are read");
  }
  // A negative width means nothing; the lowest height has no positive counterpart.
  if (width < 0 || storedHeight == INT32_MIN) {
    return Refuse("impossible size " + std::to_string(width) + " x " + std::to_string(storedHeight));
  }
  const bool topDown = storedHeight < 0;
  const std::int32_t height = topDown ? -storedHeight : storedHeight;
  const std::string sizeProblem = imageSizeProblem(width, height, 3);
  if (!sizeProblem.empty()) return Refuse(sizeProblem);

  // 3 x width rounded up to a multiple of 4 (the caps keep it far below INT_MAX).
  const std::uint64_t pixelBytes = 3 * static_cast<std::uint64_t>(width);
  const std::uint64_t fileRowBytes = (pixelBytes + 3) / 4 * 4;

  // Every row's pixels must lie in the file; the last row may go without its padding.
  if (pixelBytes != 0 && height != 0) {
    const std::uint64_t needed = fileRowBytes * (static_cast<std::uint64_t>(height) - 1) + pixelBytes;
    if (dataOffset > fileSize || needed > fileSize - dataOffset) return Refuse(TruncatedAt(dataOffset + needed));
  }

  try {
    image->Create(width, height, GL_RGB);
  } catch (const std::bad_alloc&) {
    return Refuse("not enough memory for " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
  }
  if (!file.seekg(dataOffset)) return Refuse(TruncatedAt(dataOffset));

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
  if (!complete) {
    return Refuse("truncated at byte " + std::to_string(fileSize) +
                  ": the pixel data ends before the last row; the file is damaged or was not copied whole");
  }
  swapRedBlue(image->GetData(), static_cast<std::size_t>(width) * height, 3);
  return true;
}
