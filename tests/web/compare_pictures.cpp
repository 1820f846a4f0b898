// velmora-web-compare: one picture against another under the visual tests'
// tolerance, for the browser tests: one line of figures, status 0 when it passes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/command_line.h"
#include "tests/visual/image_compare.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::puts(
        "Usage: velmora-web-compare [--cell-limit N] EXPECTED.png ACTUAL.png\n"
        "Compares ACTUAL with EXPECTED under the visual tests' tolerance and prints one line;\n"
        "status 0 when it passes, 1 when it does not, 2 when a picture cannot be read.\n"
        "  --cell-limit N   the largest mean difference and colour shift of a 10 x 10 cell\n"
        "                   (default: the visual tests' 10 and 8)");
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    printVersion("velmora-web-compare");
    return 0;
  }
  visualtest::CompareTolerance tolerance;
  int first = 1;
  if (argc == 5 && std::strcmp(argv[1], "--cell-limit") == 0) {
    char* end = nullptr;
    const double limit = std::strtod(argv[2], &end);
    if (*end != '\0' || !(limit > 0 && limit <= 255)) {
      std::fprintf(stderr, "velmora-web-compare: --cell-limit takes a number from 0 to 255, not \"%s\"; try --help\n",
                   argv[2]);
      return 2;
    }
    tolerance.cellMeanLimit = tolerance.cellShiftLimit = limit;
    first = 3;
  } else if (argc != 3) {
    std::fprintf(stderr, "velmora-web-compare: give two PNG files, EXPECTED and ACTUAL; try --help\n");
    return 2;
  }
  RgbImage pictures[2];
  for (int i = 0; i < 2; ++i) {
    std::string error;
    if (!readPng(argv[first + i], &pictures[i], &error)) {
      std::fprintf(stderr, "velmora-web-compare: %s\n", error.c_str());
      return 2;
    }
  }
  const visualtest::CompareResult result = visualtest::compareImages(pictures[0], pictures[1], tolerance);
  std::printf("%s\n", visualtest::describe(result, tolerance).c_str());
  return result.passes ? 0 : 1;
}
