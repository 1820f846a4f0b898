// velmora-shot: one frame of the scene, rendered offscreen through the
// program's own code, written as a PNG file.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/output_file.h"
#include "support/printable_text.h"
#include "image/scene_textures.h"
#include "cli/command_line.h"
#include "cli/display.h"
#include "tools/offscreen/offscreen.h"
#include "tools/shot/shot_options.h"
#include "tools/shot/shot_render.h"

namespace {

bool isDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string executableDir() {
  const std::string path = executablePath();
  return path.substr(0, path.find_last_of('/'));
}

// The working folder becomes the one that holds data/, as the program expects.
bool enterDataRoot(const std::string& requested) {
  std::vector<std::string> candidates;
  if (!requested.empty()) {
    candidates.push_back(requested);
  } else {
    candidates.push_back(".");
    const std::string exeDir = executableDir();
    if (!exeDir.empty()) candidates.push_back(exeDir + "/../share/velmora");
  }
  for (const std::string& dir : candidates) {
    if (isDirectory(dir + "/data") && chdir(dir.c_str()) == 0) return true;
  }
  if (requested.empty())
    std::fprintf(stderr, "velmora-shot: no data/ folder here; run it from the project root or pass --root DIR\n");
  else
    std::fprintf(stderr, "velmora-shot: no data/ folder in %s; pass the folder that holds data/ to --root\n",
                 printableText(requested).c_str());
  return false;
}

std::string absolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

}  // namespace

int main(int argc, char** argv) {
  ShotOptions options;
  std::string error;
  if (!parseShotOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error))
    return refuseCommandLine("velmora-shot", error);
  if (options.help) {
    std::fputs(SHOT_USAGE, stdout);
    return 0;
  }
  if (options.version) {
    printVersion("velmora-shot");
    return 0;
  }
  // The output is named from where the command was given, before moving to data/,
  // and looked at before anything is rendered.
  const std::string output = absolutePath(options.output);
  if (const std::string problem = outputFileProblem(output); !problem.empty()) {
    std::fprintf(stderr, "velmora-shot: %s; name a file in a folder that can be written\n",
                 cannotWriteText(options.output, problem).c_str());
    return 1;
  }
  if (!ensureDisplay("velmora-shot", argv)) return 1;
  if (!enterDataRoot(options.root)) return 1;

  openOffscreenContext(argv[0], "velmora-shot");

  const RgbImage image = renderShot(options, &error);
  if (image.empty()) {
    std::fprintf(stderr, "velmora-shot: %s\n", error.c_str());
    return 1;
  }
  // Shots serve as reference pictures: one with an untextured wall must not pass for one.
  if (sceneTextureFailures() != 0) {
    std::fprintf(stderr, "velmora-shot: %d scene picture%s could not be used (see above); %s not written\n",
                 sceneTextureFailures(), sceneTextureFailures() == 1 ? "" : "s", printableText(output).c_str());
    return 1;
  }
  if (!writePng(output, image, &error)) {
    std::fprintf(stderr, "velmora-shot: %s; make room there or name another file\n", error.c_str());
    return 1;
  }
  return 0;
}
