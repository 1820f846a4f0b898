// velmora-datagen: writes every texture and model the scene reads into a data folder,
// touching only files whose bytes changed; optionally writes PNG previews.
//
//   velmora-datagen --out DIR [--preview DIR] [--quiet]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "datagen/data_set.h"
#include "datagen/file_store.h"
#include "datagen/picture_previews.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: velmora-datagen --out DIR [--preview DIR] [--quiet]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, previewDir;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      outDir = argv[++i];
    } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
      previewDir = argv[++i];
    } else if (std::strcmp(argv[i], "--quiet") == 0) {
      quiet = true;
    } else {
      return usage();
    }
  }
  if (outDir.empty()) return usage();

  try {
    auto start = std::chrono::steady_clock::now();
    datagen::DataSet set = datagen::generateDataSet();
    int written = 0;
    for (const datagen::GeneratedFile& f : set.files) {
      bool changed = datagen::writeIfChanged(outDir + "/" + f.path, f.bytes);
      written += changed ? 1 : 0;
      if (!quiet) {
        std::printf("  %-34s %9zu bytes  %s%s\n", f.path.c_str(), f.bytes.size(), f.format.c_str(),
                    changed ? "" : "  (unchanged)");
      }
    }
    auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("velmora-datagen: %zu files in %s, %d written, %.2f s\n", set.files.size(), outDir.c_str(), written,
                elapsed);
    if (!previewDir.empty()) {
      int previews = datagen::writePicturePreviews(set, previewDir);
      std::printf("velmora-datagen: %d previews in %s\n", previews, previewDir.c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-datagen: %s\n", e.what());
    return 1;
  }
  return 0;
}
