// The one translation unit that holds stb_image's implementation (BMP and TGA only).
#include "benchmark/velmora_bench/load_stb_image.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO_DEPRECATION
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

unsigned char* loadWithStb(const char* path, int* width, int* height, int* channels) {
  return stbi_load(path, width, height, channels, 0);
}

void freeStbPixels(unsigned char* pixels) { stbi_image_free(pixels); }
