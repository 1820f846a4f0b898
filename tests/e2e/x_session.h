// The X side of the end-to-end tests: a private Xvfb server, screenshots of
// the screen, the windows on it, xdotool for input, and the close request a
// window manager sends.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "tests/e2e/process.h"
#include "tests/visual/image_compare.h"
#include "tools/shot/rgb_image.h"

namespace e2etest {

// An Xvfb server of the test's own on the first free display number.
class XvfbServer {
 public:
  // Starts Xvfb with one screen of width x height x 24 and waits until it
  // accepts connections. Returns false with `error` set when it does not.
  bool start(int width, int height, std::string* error);
  void stop() { server_.stop(); }
  const std::string& displayName() const { return display_; }  // ":N"
  pid_t pid() const { return server_.pid(); }

 private:
  ChildProcess server_;
  std::string display_;
};

// A screen rectangle of a window, in root coordinates.
struct WindowBox {
  Window id = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

class XScreen {
 public:
  ~XScreen();
  bool open(const std::string& displayName);
  void close();
  Display* display() const { return display_; }

  // The pixels of a rectangle of the screen as it is shown now.
  RgbImage grab(int x, int y, int width, int height);

  // The viewable top-level windows whose name is exactly `name`.
  std::vector<WindowBox> viewableWindows(const std::string& name);

  // Whether `window` still exists.
  bool exists(Window window);

  // The close request a window manager sends when the user closes a window:
  // a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
  bool requestClose(Window window);

 private:
  Display* display_ = nullptr;
};

// Runs xdotool against `displayName`. Returns false with `error` set (its
// output) when it fails.
bool xdotool(const std::string& displayName, const std::vector<std::string>& args, std::string* error);

}  // namespace e2etest
