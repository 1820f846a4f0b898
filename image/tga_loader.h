// Truevision TGA reader: 24- and 32-bit true colour, uncompressed (type 2) or
// run-length encoded (type 10). The only loader that prints refusals (its two
// messages); the reason of every refusal is kept for GetFailure.
#pragma once

#include <cstdint>

#include "image/image_loader.h"

// The 18-byte file header, field by field; words are little-endian in the file.
struct TGAHeader {
  std::uint8_t idLength = 0;
  std::uint8_t colorMapType = 0;
  std::uint8_t imageType = 0;
  std::uint16_t colorMapStart = 0;
  std::uint16_t colorMapLength = 0;
  std::uint8_t colorMapEntrySize = 0;
  std::uint16_t xOrigin = 0;
  std::uint16_t yOrigin = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t pixelDepth = 0;
  std::uint8_t descriptor = 0;
};

class CTGAImageLoader : public CImageLoader {
 public:
  CTGAImageLoader() = default;
  ~CTGAImageLoader() override = default;

 protected:
  bool Decode(const char* fileName, CImage* image) override;

  // Reads a little-endian word: the first byte is the low one.
  void ReadWord(std::uint16_t* value);

  TGAHeader header;

 private:
  void ReadHeader();
  bool ReadRawPixels(CImage* image);
  bool ReadRunLengthPixels(CImage* image, std::uint64_t bytesLeft);
};
