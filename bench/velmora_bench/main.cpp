// velmora-bench: frame, pick, start-up, model-reading and image-decoding figures,
// each printed beside what it is compared with, then one machine-readable line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/velmora_bench/bench_figures.h"

namespace {

void usage() {
  std::printf(
      "usage: velmora-bench [--quick] [--frames N] [--obj-mb N] [--only frame|obj|image]\n"
      "Run from the project root (it reads data/). Needs a display for the frame section;\n"
      "without one, run it under xvfb-run.\n");
}

}  // namespace

int main(int argc, char** argv) {
  BenchOptions options;
  options.testdataDir = VELMORA_TESTDATA_DIR;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      options.quick = true;
      options.frames = 20;
      options.bigObjMegabytes = 8;
    } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      options.frames = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--obj-mb") == 0 && i + 1 < argc) {
      options.bigObjMegabytes = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else {
      usage();
      return 2;
    }
  }

  BenchFigures figures;
  if (only.empty() || only == "frame") runFrameSection(options, figures);
  if (only.empty() || only == "obj") runObjSection(options, figures);
  if (only.empty() || only == "image") runImageSection(options, figures);

  std::printf("bench: frame_ms=%.2f floor_ms=%.2f ground_ms=%.2f pick_ms=%.2f startup_ms=%.1f obj_mb_s=%.1f "
              "tinyobj_mb_s=%.1f\n",
              figures.frameMs, figures.floorMs, figures.groundMs, figures.pickMs, figures.startupMs,
              figures.objMbPerS, figures.tinyobjMbPerS);
  return 0;
}
