// velmora-web-compare: one picture against another under the visual tests'
// tolerance, for the browser tests: one line of figures, status 0 when it passes.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/visual/image_compare.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::puts("Usage: velmora-web-compare EXPECTED.png ACTUAL.png\n"
              "Compares ACTUAL with EXPECTED under the visual tests' tolerance and prints one line;\n"
              "status 0 when it passes, 1 when it does not, 2 when a picture cannot be read.");
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "velmora-web-compare: give two PNG files, EXPECTED and ACTUAL; try --help\n");
    return 2;
  }
  RgbImage pictures[2];
  for (int i = 0; i < 2; ++i) {
    std::string error;
    if (!readPng(argv[1 + i], &pictures[i], &error)) {
      std::fprintf(stderr, "velmora-web-compare: %s\n", error.c_str());
      return 2;
    }
  }
  const visualtest::CompareResult result = visualtest::compareImages(pictures[0], pictures[1]);
  std::printf("%s\n", visualtest::describe(result).c_str());
  return result.passes ? 0 : 1;
}
