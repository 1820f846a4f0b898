// PNG files encoded in memory through libpng's simplified API, which also takes
// rows bottom up, and written out the one way every output file is.
#include "cli/png_file.h"

#include <png.h>

#include <climits>
#include <cstring>
#include <vector>

#include "support/output_file.h"

bool writePngFile(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
                  bool bottomRowFirst, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = cannotWriteText(path, reason);
    return false;
  };
  if (width <= 0 || height <= 0 || pixels == nullptr) return fail("the picture is empty");
  if (channels != 3 && channels != 4) return fail("only RGB and RGBA pictures are written");
  // The row stride is an int counted in bytes here (one byte per channel).
  if (width > INT_MAX / channels || height > 1000000) return fail("the picture is too large for one PNG file");
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(width);
  png.height = static_cast<png_uint_32>(height);
  png.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  const int stride = width * channels;
  // A negative stride tells libpng that the first row in memory is the bottom one.
  const png_int_32 rowStride = bottomRowFirst ? -stride : stride;
  // Encoded in memory, into room for the worst case (the pixels stored
  // uncompressed): libpng's own file writer would truncate the target first
  // and remove it after a failed write, whatever it was (a device node too).
  std::vector<unsigned char> encoded(PNG_IMAGE_PNG_SIZE_MAX(png));
  png_alloc_size_t size = encoded.size();
  if (!png_image_write_to_memory(&png, encoded.data(), &size, 0, pixels, rowStride, nullptr)) return fail(png.message);
  const std::string reason = writeOutputFile(path, encoded.data(), size);
  return reason.empty() ? true : fail(reason);
}
