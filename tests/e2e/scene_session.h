// The real velmora program running under a private Xvfb, seen only through
// screenshots of its window and driven only through xdotool, as a person sees
// and drives it.
#pragma once

#include <functional>
#include <string>

#include "tests/e2e/process.h"
#include "tests/e2e/x_session.h"

namespace e2etest {

using visualtest::PixelRegion;

// A point in window pixels, origin at the window's top left.
struct WindowPoint {
  int x = 0;
  int y = 0;
};

class SceneSession {
 public:
  static constexpr int WIDTH = 1300;  // the window as the program creates it
  static constexpr int HEIGHT = 1000;

  ~SceneSession();

  // Starts Xvfb, then `program` (further arguments in `args`) with
  // `workingDir` as its working folder, and waits until its window shows a
  // drawn scene. Returns false with `error` set when any of that fails.
  bool start(const std::string& program, const std::string& workingDir, std::string* error);

  // The window's pixels as the screen shows them now.
  RgbImage shot();
  RgbImage shot(const PixelRegion& region);

  // Takes shots until `done` holds for one, for at most `seconds`; returns the
  // last shot taken and sets `met`.
  RgbImage waitFor(const std::function<bool(const RgbImage&)>& done, double seconds, bool* met);

  // Waits until two shots taken `gap` seconds apart agree in `region` (no
  // pixel differs by more than the small tolerance), for at most `seconds`.
  bool waitUntilStill(const PixelRegion& region, double gap, double seconds, RgbImage* still);

  // Input, as xdotool gives it: pointer moves in window pixels, button clicks,
  // key presses (to the window under the pointer: no window manager here).
  bool moveTo(WindowPoint point, std::string* error);
  bool click(int button, std::string* error);
  bool key(const std::string& name, std::string* error);
  // A click sent by an xdotool started beforehand (prepareQuickClick), for
  // when the moment matters: no process start between the decision and the click.
  bool prepareQuickClick(std::string* error);
  bool quickClick(int button, std::string* error);
  WindowPoint pointer() const { return pointer_; }

  // Opens the right-button menu where the pointer is, goes to submenu
  // `submenu` of the top menu (0 Camera, 1 Lights, 2 Animations), checks on
  // the screen that the submenu with `entryCount` entries is shown with entry
  // `entry` highlighted, chooses it and brings the pointer back. Returns false
  // with `error` set when any of that is not seen.
  bool chooseMenuEntry(int submenu, int entry, int entryCount, std::string* error);

  // Sends the window manager's close request to the window.
  bool closeWindow();

  ChildProcess& program() { return program_; }
  const std::string& displayName() const { return xvfb_.displayName(); }
  const WindowBox& window() const { return window_; }

 private:
  bool waitForMenus(size_t count, double seconds, std::vector<WindowBox>* menus);

  XvfbServer xvfb_;
  ChildProcess quickInput_;
  XScreen screen_;
  ChildProcess program_;
  WindowBox window_;
  WindowPoint pointer_;
};

// Seconds since an arbitrary start, for the step timings.
double secondsNow();

}  // namespace e2etest
