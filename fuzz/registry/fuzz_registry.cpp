// Fuzz target: the registry's Load with a file name chosen by the input. The
// first byte picks a name (extension case, no dot, directory dots, overlong
// extensions), the second an overlong extension's length; the rest is the file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "fuzz/image_fuzz_support/fuzz_file.h"
#include "image/image.h"
#include "image/texture_loader.h"

namespace {

const char* const NAMES[] = {
    "img.tga", "img.TGA", "img.Tga", "img.bmp", "img.BMP", "img.bMp", "img",  "img.",
    "img.jpg", "img.tgax", "img.tg", "img.bm",  "d.tga/img", "d.bmp/x.TgA", ".tga", ".bmp",
};
constexpr std::size_t NAME_COUNT = sizeof NAMES / sizeof NAMES[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    imagefuzz::silenceLoaderMessages();
    mkdir((imagefuzz::scratchDir() + "/d.tga").c_str(), 0700);
    mkdir((imagefuzz::scratchDir() + "/d.bmp").c_str(), 0700);
    return true;
  }();
  (void)ready;
  if (size < 2) return 0;

  std::string name;
  const std::uint8_t choice = data[0];
  if (choice < 2 * NAME_COUNT) {
    name = NAMES[choice % NAME_COUNT];
  } else {
    // Extensions around the 128-byte buffer: 'tga' or 'bmp' letters repeated.
    const std::size_t length = 100 + data[1] % 60;
    const char* letters = choice & 1 ? "tga" : "BMP";
    name = "img.";
    for (std::size_t i = 0; i < length; ++i) name += letters[i % 3];
  }
  const std::string path = imagefuzz::scratchDir() + "/" + name;
  imagefuzz::writeFile(path, data + 2, size - 2);

  CTextureLoader registry;
  static CImage sentinel;
  CImage* image = &sentinel;  // Load must overwrite it either way
  const bool loaded = registry.Load(path.c_str(), &image);
  if (loaded != (image != nullptr)) std::abort();
  if (image != nullptr) {
    imagefuzz::checkImage(*image);
    delete image;
  }
  std::remove(path.c_str());
  return 0;
}
