// Fuzz target: any bytes as a TGA file through CTGAImageLoader.
#include <cstdint>

#include "fuzz/image_fuzz_support/fuzz_file.h"
#include "image/tga_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = imagefuzz::scratchDir() + "/input.tga";
  static CTGAImageLoader loader;  // one loader for every input, as a registry uses it
  static const bool silenced = (imagefuzz::silenceLoaderMessages(), true);
  (void)silenced;
  imagefuzz::writeFile(path, data, size);
  imagefuzz::loadAndCheck(loader, path);
  return 0;
}
