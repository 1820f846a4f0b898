// velmora-bench: frame, pick, start-up, model-reading and image-decoding figures,
// each printed beside what it is compared with, then one machine-readable line.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "benchmark/velmora_bench/bench_figures.h"
#include "benchmark/velmora_bench/frame_soak.h"
#include "support/printable_text.h"
#include "cli/command_line.h"
#include "cli/display.h"

namespace {

const char* const USAGE =
    "Usage: velmora-bench [OPTIONS]\n"
    "Measures frames, picks, start-up, model reading and image decoding, each beside what\n"
    "it is compared with, and ends with one machine-readable \"bench:\" line. Run it from\n"
    "the project folder (it reads data/). The frame section and the soak run need a\n"
    "display; when none answers, it runs itself again under xvfb-run.\n"
    "\n"
    "  --quick               a smoke run: 20 frames per series, an 8 MB OBJ (options\n"
    "                        after it can change these)\n"
    "  --frames N            frames per measured series, 1..100000 (default 200)\n"
    "  --obj-mb N            size of the generated big OBJ in MB, 1..4096 (default 110)\n"
    "  --only frame|obj|image  one section only\n"
    "  --soak[=N]            instead of the sections: N frames (default 20000) with the\n"
    "                        idle step, picks and menu commands, watching resident memory;\n"
    "                        N may also follow as the next argument\n"
    "  --help                this text\n"
    "  --version             the version\n"
    "Every option also takes its value as --option=VALUE.\n"
    "Exit status: 0 when every culled frame and pick matched its reference (or the soak\n"
    "stayed flat), 1 otherwise, 2 for a wrong command line.\n";


// A scratch folder of this run's own under $TMPDIR (or the system's temporary
// folder): parallel runs never share a file, and it goes when the run ends,
// whatever its status. Empty when none can be made. The path outlives every
// static destructor: the exit handler still needs it.
const std::string& scratchFolder() {
  static const std::string* folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : P_tmpdir) + "/velmora-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::fprintf(stderr, "velmora-bench: cannot make a scratch folder %s (%s); set TMPDIR to a writable folder\n",
                   pattern.c_str(), std::strerror(errno));
      return new std::string();
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchFolder(), ignored);
    });
    return new std::string(pattern);
  }();
  return *folder;
}

}  // namespace

int main(int argc, char** argv) {
  BenchOptions options;
  options.testdataDir = VELMORA_TESTDATA_DIR;
  std::string only;
  int soakFrames = 0;
  CommandLine line("velmora-bench", USAGE);
  // Like every option, --quick applies where it stands: "--quick --frames 50" runs 50 frames.
  line.flag("--quick", [&options] {
    options.quick = true;
    options.frames = 20;
    options.bigObjMegabytes = 8;
  });
  line.option("--frames", countInto(&options.frames, 1, 100000));
  line.option("--obj-mb", countInto(&options.bigObjMegabytes, 1, 4096, "megabytes"));
  line.option("--only", [&only](const std::string& value) -> std::string {
    if (value != "frame" && value != "obj" && value != "image") return "takes frame, obj or image";
    only = value;
    return "";
  });
  line.optionalValue("--soak", countInto(&soakFrames, 1, 10000000, "a frame count"),
                     [&soakFrames] { soakFrames = 20000; });
  std::vector<std::string> operands;
  const int status = line.handle(argc, argv, &operands);
  if (status >= 0) return status;
  if (!operands.empty()) return line.refuse("unexpected argument \"" + printableText(operands[0]) + "\"");

  const bool needsDisplay = soakFrames > 0 || only.empty() || only == "frame";
  if (needsDisplay && !ensureDisplay("velmora-bench", argv)) return 1;

  if (soakFrames > 0) return runSoak(soakFrames) ? 0 : 1;

  options.scratchDir = scratchFolder();
  BenchFigures figures;
  if (only.empty() || only == "frame") runFrameSection(options, figures);
  if (only.empty() || only == "obj") runObjSection(options, figures);
  if (only.empty() || only == "image") runImageSection(options, figures);

  std::printf("bench: frame_ms=%.2f floor_ms=%.2f ground_ms=%.2f pick_ms=%.2f startup_ms=%.1f obj_mb_s=%.1f "
              "tinyobj_mb_s=%.1f\n",
              figures.frameMs, figures.floorMs, figures.groundMs, figures.pickMs, figures.startupMs,
              figures.objMbPerS, figures.tinyobjMbPerS);
  return figures.identical ? 0 : 1;
}
