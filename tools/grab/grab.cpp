// velmora-grab: writes a PNG screenshot of the X window with a given title, or
// of the whole screen, so headless runs and end-to-end tests can see the scene.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/output_file.h"
#include "support/printable_text.h"
#include "cli/command_line.h"
#include "cli/png_file.h"

namespace {

const char* const USAGE =
    "Usage: velmora-grab [OPTIONS] OUTPUT.png [WINDOW-TITLE]\n"
    "Writes a screenshot of the X window titled WINDOW-TITLE (exactly), or of the whole\n"
    "screen, to OUTPUT.png. It uses the display in DISPLAY.\n"
    "\n"
    "  --wait SECONDS    wait up to SECONDS for the window to be shown (default 0: it must\n"
    "                    be on the screen already)\n"
    "  --delay SECONDS   then wait SECONDS more before taking the picture (default 0),\n"
    "                    for a program that is still drawing its first frame\n"
    "  --help            this text\n"
    "  --version         the version\n"
    "Every option also takes its value as --option=VALUE.\n"
    "Exit status: 0 when the picture was written, 1 when it could not be, 2 for a wrong\n"
    "command line.\n"
    "Example: velmora-grab --wait 30 --delay 4 shot.png Velmora\n";

// A window can vanish between finding it and reading it; Xlib's default would
// end the program with its own message.
bool xFailed = false;
int noteXError(Display*, XErrorEvent*) {
  xFailed = true;
  return 0;
}

void sleepSeconds(double seconds) {
  timespec t;
  t.tv_sec = static_cast<time_t>(seconds);
  t.tv_nsec = static_cast<long>((seconds - static_cast<double>(t.tv_sec)) * 1e9);
  nanosleep(&t, nullptr);
}

double now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

Window findWindow(Display* display, Window root, const char* title) {
  char* name = nullptr;
  if (XFetchName(display, root, &name) && name) {
    const bool match = std::strcmp(name, title) == 0;
    XFree(name);
    if (match) return root;
  }
  Window parent, rootReturn;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = findWindow(display, children[i], title);
  if (children) XFree(children);
  return found;
}

// The window with that title once it is shown, waiting up to `seconds`.
Window waitForWindow(Display* display, const char* title, double seconds) {
  const double end = now() + seconds;
  for (;;) {
    xFailed = false;
    const Window window = findWindow(display, DefaultRootWindow(display), title);
    XWindowAttributes attributes;
    if (window && XGetWindowAttributes(display, window, &attributes) && !xFailed &&
        attributes.map_state == IsViewable)
      return window;
    if (now() >= end) return 0;
    sleepSeconds(0.1);
  }
}

int channelShift(unsigned long mask) { return mask ? __builtin_ctzl(mask) : 0; }

}  // namespace

int main(int argc, char** argv) {
  double waitSeconds = 0, delaySeconds = 0;
  CommandLine line("velmora-grab", USAGE);
  line.option("--wait", secondsInto(&waitSeconds, 0, 3600));
  line.option("--delay", secondsInto(&delaySeconds, 0, 3600));
  std::vector<std::string> operands;
  const int status = line.handle(argc, argv, &operands);
  if (status >= 0) return status;
  if (operands.empty()) return line.refuse("no output file given");
  if (operands.size() > 2) return line.refuse("unexpected argument \"" + printableText(operands[2]) + "\"");
  const std::string output = operands[0];
  const std::string title = operands.size() == 2 ? operands[1] : "";
  if (const std::string problem = outputFileProblem(output); !problem.empty()) {
    std::fprintf(stderr, "velmora-grab: %s; name a file in a folder that can be written\n",
                 cannotWriteText(output, problem).c_str());
    return 1;
  }

  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "velmora-grab: cannot open the X display \"%s\"; run it in an X session or under xvfb-run\n",
                 printableText(name ? name : "").c_str());
    return 1;
  }
  XSetErrorHandler(noteXError);
  Window target = DefaultRootWindow(display);
  if (!title.empty()) {
    target = waitForWindow(display, title.c_str(), waitSeconds);
    if (!target) {
      std::fprintf(stderr,
                   "velmora-grab: no window titled \"%s\" is shown%s; check the title, or wait longer with --wait\n",
                   printableText(title).c_str(), waitSeconds > 0 ? " after waiting" : "");
      return 1;
    }
  }
  sleepSeconds(delaySeconds);

  xFailed = false;
  XWindowAttributes attributes;
  XImage* image = nullptr;
  if (XGetWindowAttributes(display, target, &attributes) && !xFailed)
    image = XGetImage(display, target, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  XSync(display, False);
  if (!image || xFailed) {
    std::fprintf(stderr, "velmora-grab: cannot read the pixels of the window (was it closed or hidden?)\n");
    if (image) XDestroyImage(image);
    return 1;
  }
  std::vector<unsigned char> rgb(static_cast<size_t>(image->width) * image->height * 3);
  const unsigned long masks[3] = {image->red_mask, image->green_mask, image->blue_mask};
  const int shifts[3] = {channelShift(masks[0]), channelShift(masks[1]), channelShift(masks[2])};
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      unsigned char* out = &rgb[(static_cast<size_t>(y) * image->width + x) * 3];
      for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>((pixel & masks[c]) >> shifts[c]);
    }
  }
  std::string error;
  const bool written = writePngFile(output, image->width, image->height, 3, rgb.data(), false, &error);
  XDestroyImage(image);
  XCloseDisplay(display);
  if (!written) {
    std::fprintf(stderr, "velmora-grab: %s; make room there or name another file\n", error.c_str());
    return 1;
  }
  return 0;
}
