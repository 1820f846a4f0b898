// The re-run under xvfb-run, for every program that needs a GL context.
#include "cli/display.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Set in the environment of the copy that runs under xvfb-run, so that a
// server which does not answer cannot make it start another one.
constexpr const char* UNDER_XVFB = "VELMORA_UNDER_XVFB";

}  // namespace

bool ensureDisplay(const char* tool, char** argv) {
  const char* name = std::getenv("DISPLAY");
  // The connection stays open: closing the only client of a fresh Xvfb makes it
  // reset, and GLUT's own connection would fail if it came at that moment.
  if (name != nullptr && *name != '\0' && XOpenDisplay(nullptr) != nullptr) return true;
  if (std::getenv(UNDER_XVFB) != nullptr) {
    std::fprintf(stderr, "%s: cannot open an X display, not even under xvfb-run; check that Xvfb starts (xvfb-run -a true)\n",
                 tool);
    return false;
  }
  setenv(UNDER_XVFB, "1", 1);
  // A first server number drawn from the process id keeps parallel runs off
  // each other's server; -a moves on from it while one is taken.
  const std::string first = std::to_string(100 + getpid() % 800);
  const std::string self = executablePath();
  std::vector<const char*> command = {"xvfb-run", "-a", "-n", first.c_str(), "-s",
                                      "-screen 0 1600x1200x24 -nolisten tcp -noreset",
                                      self.empty() ? argv[0] : self.c_str()};
  for (char** arg = argv + 1; *arg != nullptr; ++arg) command.push_back(*arg);
  command.push_back(nullptr);
  std::fflush(stdout);
  execvp(command[0], const_cast<char* const*>(command.data()));
  std::fprintf(stderr, "%s: no X display, and xvfb-run cannot be started (%s); install xvfb and xauth or run it in an X session\n",
               tool, std::strerror(errno));
  return false;
}

std::string executablePath() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  path[length] = '\0';
  return path;
}
