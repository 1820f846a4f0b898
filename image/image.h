// The decoded picture every texture passes through: tightly packed 8-bit RGB or
// RGBA rows, row 0 at the bottom, ready to hand to OpenGL as it is.
#pragma once

#include <cstddef>

class CImage {
 public:
  CImage() = default;
  virtual ~CImage();

  // The image owns its buffer exclusively; copying would free it twice.
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  // (Re)allocates an undefined width x height buffer: 4 bytes per pixel for
  // GL_RGBA, 3 for anything else. Sizes are the caller's business: loaders
  // check them against the file before they call this.
  CImage* Create(int width, int height, int format);
  CImage* Release();

  int GetWidth() const { return width; }
  int GetHeight() const { return height; }
  int GetBytesPerPixel() const { return bytesPerPixel; }
  int GetFormat() const { return format; }
  unsigned char* GetData() const { return data; }
  unsigned char* GetRow(int row) const { return data + static_cast<std::size_t>(row) * rowSize; }
  void SetPixel(int row, int column, const unsigned char* src);

 private:
  int width = 0;
  int height = 0;
  int bytesPerPixel = 0;
  int format = 0;
  unsigned char* data = nullptr;
  int rowSize = 0;
};
