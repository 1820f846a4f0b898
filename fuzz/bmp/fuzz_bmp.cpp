// Fuzz target: any bytes as a BMP file through CBMPImageLoader.
#include <cstdint>

#include "fuzz/image_fuzz_support/fuzz_file.h"
#include "image/bmp_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = imagefuzz::scratchDir() + "/input.bmp";
  static CBMPImageLoader loader;  // one loader for every input, as a registry uses it
  imagefuzz::writeFile(path, data, size);
  imagefuzz::loadAndCheck(loader, path);
  return 0;
}
