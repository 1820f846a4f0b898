// The decoded picture record: buffer ownership and pixel addressing.
#include "image/image.h"

#include <GL/gl.h>

#include <cstring>

CImage::~CImage() { Release(); }

CImage* CImage::Create(int newWidth, int newHeight, int newFormat) {
  Release();
  width = newWidth;
  height = newHeight;
  format = newFormat;
  bytesPerPixel = newFormat == GL_RGBA ? 4 : 3;
  rowSize = newWidth * bytesPerPixel;
  // Size arithmetic in size_t: a 65535 x 65535 RGBA picture does not fit an int.
  data = new unsigned char[static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight) *
                           static_cast<std::size_t>(bytesPerPixel)];
  return this;
}

CImage* CImage::Release() {
  delete[] data;
  data = nullptr;
  return this;
}

void CImage::SetPixel(int row, int column, const unsigned char* src) {
  std::memcpy(GetRow(row) + static_cast<std::size_t>(column) * bytesPerPixel, src, bytesPerPixel);
}
