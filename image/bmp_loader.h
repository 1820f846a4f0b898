// Windows bitmap reader for uncompressed 24-bit files. Refusals print nothing;
// their reasons are kept for GetFailure.
#pragma once

#include "image/image_loader.h"

class CBMPImageLoader : public CImageLoader {
 public:
  CBMPImageLoader() = default;
  ~CBMPImageLoader() override = default;

 protected:
  // Rows stored bottom-up (positive height) or top-down (negative height) both
  // give row 0 at the bottom of the picture.
  bool Decode(const char* fileName, CImage* image) override;
};
