// Stored BGR(A) pixels become the image's RGB(A) in place: both loaders read
// whole rows straight into the image buffer and then exchange red and blue.
#pragma once

#include <cstddef>
#include <utility>

template <std::size_t BYTES_PER_PIXEL>
inline void swapRedBlue(unsigned char* pixels, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i, pixels += BYTES_PER_PIXEL) {
    std::swap(pixels[0], pixels[2]);
  }
}

inline void swapRedBlue(unsigned char* pixels, std::size_t count, int bytesPerPixel) {
  if (bytesPerPixel == 4) {
    swapRedBlue<4>(pixels, count);
  } else {
    swapRedBlue<3>(pixels, count);
  }
}
