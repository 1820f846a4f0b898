// What `velmora` settles before it opens its window.
#include "app/shell/start_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/command_line.h"
#include "support/printable_text.h"

const char* const VELMORA_USAGE =
    "Usage: velmora [GLUT OPTIONS]\n"
    "A go-kart ground in 3D: one window, \"Velmora\", drawn continuously.\n"
    "\n"
    "Controls:\n"
    "  arrow keys                walk the free camera (ignored in car view)\n"
    "  mouse movement            turn the free camera (no button held)\n"
    "  right button              the menu: Camera, Lights, Animations\n"
    "  left click on the kart    start or stop its lap of the curve\n"
    "  closing the window        ends the program (there is no quit key)\n"
    "\n"
    "It reads its pictures and models from data/ in the working folder: start it from\n"
    "the project folder (build/app/velmora, or scripts/run), or through the installed\n"
    "launcher PREFIX/bin/velmora, which starts it beside the installed data.\n"
    "\n"
    "Options:\n"
    "  --help                    this text\n"
    "  --version                 the version\n"
    "  -display NAME             the X display to open (GLUT's own)\n"
    "  -geometry WxH[+X+Y]       the window's size, and its place (GLUT's own)\n"
    "  -iconic, -direct, -indirect, -gldebug, -sync   GLUT's other options\n"
    "\n"
    "The tools beside it (each answers --help):\n"
    "  velmora-shot      one frame of the scene, offscreen, as a PNG file\n"
    "  velmora-inspect   image and model files as the program reads them\n"
    "  velmora-grab      a screenshot of a window as a PNG file\n"
    "  velmora-bench     frame, pick, start-up and loading times\n"
    "  velmora-datagen   writes the pictures and models of data/\n";

namespace {

// The options freeglut's glutInit takes, with whether each is followed by a value.
struct GlutOption {
  const char* name;
  bool takesValue;
};
constexpr GlutOption GLUT_OPTIONS[] = {{"-display", true}, {"-geometry", true}, {"-iconic", false},
                                       {"-direct", false}, {"-indirect", false}, {"-gldebug", false},
                                       {"-sync", false}};

int refuse(const std::string& reason) { return refuseCommandLine("velmora", reason); }

// Reads the digits at *text as a whole number within [min, max]; false when
// there are none or it is out of range.
bool readNumber(const char** text, long min, long max) {
  const char* start = *text;
  long value = 0;
  for (; std::isdigit(static_cast<unsigned char>(**text)); ++*text) {
    value = value * 10 + (**text - '0');
    if (value > max) return false;
  }
  return *text != start && value >= min;
}

// Whether `value` is an X geometry with a size, WxH, and optionally a place,
// +X+Y with either sign. glutInit takes the window's size from it; given a
// place alone or a bad value, it would open a window of no size.
bool isSizedGeometry(const char* value) {
  const char* text = value + (*value == '=' ? 1 : 0);
  if (!readNumber(&text, 1, 32767) || (*text != 'x' && *text != 'X')) return false;
  ++text;
  if (!readNumber(&text, 1, 32767)) return false;
  if (*text == '\0') return true;
  for (int offset = 0; offset < 2; ++offset) {
    if (*text != '+' && *text != '-') return false;
    ++text;
    if (!readNumber(&text, 0, 32767)) return false;
  }
  return *text == '\0';
}

}  // namespace

int checkBeforeWindow(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(VELMORA_USAGE, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      printVersion("velmora");
      return 0;
    }
  }
  // GLUT's own options go on to glutInit; anything else would be ignored
  // there without a word, so it is refused here.
  for (int i = 1; i < argc; ++i) {
    const GlutOption* glut = nullptr;
    for (const GlutOption& option : GLUT_OPTIONS) {
      if (std::strcmp(argv[i], option.name) == 0) glut = &option;
    }
    // "--name=value" is named by its name, as the tools name it.
    const std::string arg = argv[i];
    const std::string name = arg.compare(0, 2, "--") == 0 ? arg.substr(0, arg.find('=')) : arg;
    const std::string shown = "\"" + printableText(name) + "\"";
    if (glut == nullptr) return refuse((argv[i][0] == '-' ? "unknown option " : "unexpected argument ") + shown);
    if (glut->takesValue && ++i >= argc) return refuse(std::string(glut->name) + " needs a value");
    if (std::strcmp(glut->name, "-geometry") == 0 && !isSizedGeometry(argv[i])) {
      return refuse("-geometry takes a size WxH with an optional place +X+Y, not \"" + printableText(argv[i]) + "\"");
    }
  }
  struct stat info;
  if (stat("data", &info) == 0 && S_ISDIR(info.st_mode)) return -1;
  char here[PATH_MAX];
  const char* folder = getcwd(here, sizeof here) ? here : ".";
  std::fprintf(stderr,
               "velmora: no data/ folder in %s; start it from the project folder or with the installed launcher "
               "(PREFIX/bin/velmora)\n",
               printableText(folder).c_str());
  return 1;
}
