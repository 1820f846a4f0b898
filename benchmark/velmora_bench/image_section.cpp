// Loading, images: the BMP and TGA loaders (through CTextureLoader, as the
// scene and the model library use them) next to stb_image on the same files,
// large generated pictures and the scene's own data/ textures.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "benchmark/velmora_bench/bench_figures.h"
#include "benchmark/velmora_bench/load_gl_context.h"
#include "benchmark/velmora_bench/load_images.h"
#include "benchmark/velmora_bench/load_stb_image.h"
#include "benchmark/velmora_bench/load_timing.h"
#include "image/image.h"
#include "image/scene_textures.h"
#include "image/texture_loader.h"

namespace {

long long fileSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// Whether both decoders give the same picture: same size and channels, and
// every pixel the same once stb's top-first rows are put bottom-first.
std::string agreement(const std::string& path) {
  CTextureLoader registry;
  CImage* ours = nullptr;
  int width = 0, height = 0, channels = 0;
  unsigned char* theirs = loadWithStb(path.c_str(), &width, &height, &channels);
  const bool loaded = registry.Load(path.c_str(), &ours);
  std::string verdict;
  if (!loaded || theirs == nullptr) {
    verdict = std::string("not both decoded (Velmora ") + (loaded ? "yes" : "no") + ", stb " +
              (theirs != nullptr ? "yes" : "no") + ")";
  } else if (ours->GetWidth() != width || ours->GetHeight() != height || ours->GetBytesPerPixel() != channels) {
    verdict = "different sizes or channels";
  } else {
    verdict = "same pixels";
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    for (int row = 0; row < height; ++row) {
      if (std::memcmp(ours->GetRow(row), theirs + static_cast<size_t>(height - 1 - row) * rowBytes, rowBytes) != 0) {
        verdict = "DIFFERENT pixels from row " + std::to_string(row);
        break;
      }
    }
  }
  delete ours;
  if (theirs != nullptr) freeStbPixels(theirs);
  return verdict;
}

struct DecodeFigures {
  std::vector<double> ours, stb;
  double pixelBytes = 0;  // decoded bytes per pass over the files
  double fileBytes = 0;
};

// Decodes every file once per run with each decoder, interleaved.
DecodeFigures decodeAll(const std::vector<std::string>& paths, int runs) {
  DecodeFigures figures;
  CTextureLoader registry;
  for (const std::string& path : paths) {
    int width = 0, height = 0, channels = 0;
    if (unsigned char* pixels = loadWithStb(path.c_str(), &width, &height, &channels)) {
      figures.pixelBytes += static_cast<double>(width) * height * channels;
      freeStbPixels(pixels);
    }
    figures.fileBytes += static_cast<double>(fileSize(path));
  }
  std::vector<CImage*> images(paths.size(), nullptr);
  std::vector<unsigned char*> decoded(paths.size(), nullptr);
  for (int run = 0; run < runs; ++run) {
    figures.ours.push_back(secondsOf([&] {
      for (size_t i = 0; i < paths.size(); ++i) registry.Load(paths[i].c_str(), &images[i]);
    }));
    for (CImage*& image : images) {
      delete image;
      image = nullptr;
    }
    figures.stb.push_back(secondsOf([&] {
      int width, height, channels;
      for (size_t i = 0; i < paths.size(); ++i) decoded[i] = loadWithStb(paths[i].c_str(), &width, &height, &channels);
    }));
    for (unsigned char*& pixels : decoded) {
      if (pixels != nullptr) freeStbPixels(pixels);
      pixels = nullptr;
    }
  }
  return figures;
}

std::string rates(std::vector<double>& seconds, double pixelBytes, double fileBytes) {
  const double median = medianOf(seconds);
  char text[96];
  std::snprintf(text, sizeof text, "%7.1f MB/s pixels %7.1f MB/s file (%7.2f ms)",
                megabytesPerSecond(pixelBytes, median), megabytesPerSecond(fileBytes, median), median * 1000);
  return text;
}

void printRow(const std::string& label, const std::vector<std::string>& paths, int runs, const std::string& check) {
  DecodeFigures figures = decodeAll(paths, runs);
  std::printf("%-30s %7.2f MB  Velmora %s | stb_image %s\n", label.c_str(), figures.fileBytes / 1e6,
              rates(figures.ours, figures.pixelBytes, figures.fileBytes).c_str(),
              rates(figures.stb, figures.pixelBytes, figures.fileBytes).c_str());
  std::printf("%-30s %s\n", "", check.c_str());
}

}  // namespace

void runImageSection(const BenchOptions& options, BenchFigures&) {
  std::printf("\n== Loading: images ==\n");
  const int runs = options.quick ? 3 : 11;
  std::printf("Velmora's loaders through CTextureLoader::Load and stb_image's stbi_load on the same files; medians of\n"
              "%d runs; MB = 10^6 bytes of decoded pixels (RGB or RGBA) or of file.\n", runs);

  const std::vector<BenchImage> images = makeBenchImages(options.scratchDir, options.quick);
  if (images.empty()) std::printf("generated images: cannot write into %s\n", options.scratchDir.c_str());
  for (const BenchImage& image : images) printRow(image.label, {image.path}, runs, "pixels: " + agreement(image.path));

  // The scene's own textures, as start-up loads them (all eighteen in one batch).
  std::vector<std::string> scene;
  for (const char* face : {"pos_z", "pos_x", "neg_z", "neg_x", "pos_y", "neg_y"}) {
    scene.push_back(std::string("data/skybox/") + face + ".bmp");
  }
  scene.push_back("data/wood1.bmp");
  scene.push_back("data/concrete.bmp");
  for (int i = 1; i <= 10; ++i) scene.push_back("data/cactus" + std::to_string(i) + ".tga");
  std::string check;
  int same = 0;
  for (const std::string& path : scene) {
    if (fileSize(path) < 0) {
      std::printf("scene textures: %s not found (run from the project root after building data/)\n", path.c_str());
      return;
    }
    const std::string verdict = agreement(path);
    if (verdict == "same pixels") {
      ++same;
    } else {
      check += " " + path + ": " + verdict + ";";
    }
  }
  printRow("scene data/ (18 files)", scene, runs * 3,
           "pixels: " + std::to_string(same) + " of 18 files the same in both" + check);

  // What start-up does with them: decoding and uploading into the texture table.
  LoadGlContext context;
  if (!context.ready()) {
    std::printf("loadSceneTextures: no display, not measured\n");
    return;
  }
  std::vector<double> startup;
  for (int run = 0; run < runs * 3; ++run) {
    startup.push_back(secondsOf([] {
      loadSceneTextures();
      glFinish();
    }));
    glDeleteTextures(SCENE_TEXTURE_COUNT, sceneTextures);
  }
  std::printf("%-30s decode + glTexImage2D of all 18: %.2f ms (median of %d)\n", "loadSceneTextures()",
              medianOf(startup) * 1000, runs * 3);
}
