// PNG files of generated pictures, for previews, through the tools' shared writer.
#include "datagen/png_writer.h"

#include <errno.h>

#include <cstdio>

#include "cli/png_file.h"

namespace datagen {

bool writePng(const std::string& path, const Image8& image) {
  std::string error;
  // Generated pictures keep their bottom row first, as OpenGL reads them.
  if (writePngFile(path, image.width, image.height, image.channels, image.pixels.data(), true, &error)) return true;
  // The generator and its preview renderer share this: each message carries its own name.
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, error.c_str());
  return false;
}

}  // namespace datagen
