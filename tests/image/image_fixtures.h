// Small image files built byte by byte in the tests, a scratch folder to write
// them to, and a watch on the largest allocation a load asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace imagetest {

using Bytes = std::vector<std::uint8_t>;

// The 18-byte TGA header with the given fields; everything else zero.
struct TgaHeaderFields {
  std::uint8_t idLength = 0;
  std::uint8_t colorMapType = 0;
  std::uint8_t imageType = 2;
  std::uint16_t colorMapLength = 0;
  std::uint8_t colorMapEntrySize = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t pixelDepth = 24;
  std::uint8_t descriptor = 0;
};
Bytes tgaHeader(const TgaHeaderFields& fields);

// A whole TGA file: header followed by `body` (ID field, pixels or packets as given).
Bytes tgaFile(const TgaHeaderFields& fields, const Bytes& body);

// A BMP file with the two headers and `pixels` starting at `dataOffset`
// (>= 54; the gap is filled with 0xCC). Height and width are stored as given.
struct BmpHeaderFields {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitsPerPixel = 24;
  std::uint32_t compression = 0;
  std::uint32_t dataOffset = 54;
};
Bytes bmpFile(const BmpHeaderFields& fields, const Bytes& pixels);

// The stored form of 24-bit rows for a BMP: each row's bytes, then zero-or-more
// padding bytes `pad` up to a multiple of 4.
Bytes bmpRows(const std::vector<Bytes>& rows, std::uint8_t pad = 0xEE);

Bytes concat(std::initializer_list<Bytes> parts);

// A fresh folder below the test program's temporary folder, removed with everything in it at the end of its scope.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return root; }
  // Writes `bytes` to `relative` below the folder (creating sub-folders) and returns the full path.
  std::string write(const std::string& relative, const Bytes& bytes) const;

 private:
  std::string root;
};

// The largest single heap request since the last reset (operator new and malloc).
void resetLargestAllocation();
std::size_t largestAllocation();

}  // namespace imagetest
