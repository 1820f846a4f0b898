// velmora-web-desktop-picks: the desktop's hit records for clicks on a pose,
// for comparison with the page's. The pose is given as velmora-shot's options
// and drawn as velmora-shot draws it; each --click X,Y (window pixels from the
// bottom left) is then picked with the program's own selection, in order.
#include <GL/glut.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/shell/picking.h"
#include "app/shell/window.h"
#include "cli/command_line.h"
#include "cli/display.h"
#include "tools/shot/shot_options.h"
#include "tools/shot/shot_render.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::puts(
        "Usage: velmora-web-desktop-picks [VELMORA-SHOT POSE OPTIONS] --click X,Y [--click X,Y ...]\n"
        "Draws the pose as velmora-shot does, then picks each pixel (counted from the bottom left)\n"
        "with the program's selection and prints one JSON line of hit records per click.");
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    printVersion("velmora-web-desktop-picks");
    return 0;
  }
  std::vector<std::string> shotArgs;
  std::vector<std::pair<int, int>> clicks;
  for (int i = 1; i < argc; ++i) {
    int x = 0, y = 0;
    if (std::strcmp(argv[i], "--click") == 0 && i + 1 < argc && std::sscanf(argv[i + 1], "%d,%d", &x, &y) == 2) {
      clicks.emplace_back(x, y);
      ++i;
    } else {
      shotArgs.push_back(argv[i]);
    }
  }
  shotArgs.push_back("unused.png");
  ShotOptions options;
  std::string error;
  if (!parseShotOptions(shotArgs, &options, &error)) {
    return refuseCommandLine("velmora-web-desktop-picks", error + " (the pose takes velmora-shot's options)");
  }
  if (!ensureDisplay("velmora-web-desktop-picks", argv)) return 1;
  int glutArgc = 1;
  char* glutArgv[] = {argv[0], nullptr};
  glutInit(&glutArgc, glutArgv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(64, 64);
  glutCreateWindow("velmora-web-desktop-picks");
  if (renderShot(options, &error).empty()) {
    std::fprintf(stderr, "velmora-web-desktop-picks: %s\n", error.c_str());
    return 1;
  }
  // The shot puts the window's viewport back; the picks need the frame's, as the
  // program's window has it.
  reshape(options.width, options.height);
  // One JSON line per click, in the page hook's form.
  for (const auto& [x, y] : clicks) {
    const PickHits hits = selectAt(x, y);
    std::printf("{\"count\":%d,\"records\":[", hits.count);
    for (std::size_t i = 0; i < hits.records.size(); ++i) {
      std::printf("%s{\"names\":[", i > 0 ? "," : "");
      for (std::size_t n = 0; n < hits.records[i].names.size(); ++n) {
        std::printf("%s%u", n > 0 ? "," : "", hits.records[i].names[n]);
      }
      std::printf("]}");
    }
    std::printf("]}\n");
  }
  return 0;
}
