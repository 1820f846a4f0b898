// velmora's window under a real X server: GLUT's -geometry, which the program
// passes on to glutInit, gives the window its size and place; without it the
// window is 1300 x 1000 at (300, 20). (A -geometry without a size is refused
// before any window: tests/tools.)
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/process.h"
#include "tests/e2e/x_session.h"
#include "tests/support/test_paths.h"

namespace {

using e2etest::ChildProcess;
using e2etest::ProcessSpec;
using e2etest::WindowBox;
using e2etest::XScreen;
using e2etest::XvfbServer;

// The windows titled "Velmora", polled every 50 ms for up to `seconds` until
// there are `count` of them.
std::vector<WindowBox> waitForWindows(XScreen& screen, size_t count, double seconds, ChildProcess* program) {
  std::vector<WindowBox> windows;
  for (int tries = static_cast<int>(seconds / 0.05); tries > 0; --tries) {
    windows = screen.viewableWindows("Velmora");
    if (windows.size() == count || (program && !program->running())) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return windows;
}

TEST(WindowOptions, GeometryGivesTheWindowItsSizeAndPlace) {
  struct Case {
    std::vector<std::string> args;
    int x, y, width, height;
  };
  const Case cases[] = {
      {{}, 300, 20, 1300, 1000},
      {{"-geometry", "800x600"}, 300, 20, 800, 600},
      {{"-geometry", "640x480+10+30"}, 10, 30, 640, 480},
      {{"-geometry", "=640x480-0-0"}, 1600 - 640, 1200 - 480, 640, 480},  // from the screen's bottom right
  };
  XvfbServer xvfb;
  std::string error;
  ASSERT_TRUE(xvfb.start(1600, 1200, &error)) << error;
  XScreen screen;
  ASSERT_TRUE(screen.open(xvfb.displayName()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "no options" : c.args[1]);
    ProcessSpec launch;
    launch.argv = {VELMORA_BINARY};
    launch.argv.insert(launch.argv.end(), c.args.begin(), c.args.end());
    launch.workingDir = supporttest::source("");
    launch.setEnv = {{"DISPLAY", xvfb.displayName()}, {"ASAN_OPTIONS", "detect_leaks=0"}};
    ChildProcess program;
    ASSERT_TRUE(program.start(launch, &error)) << error;
    const std::vector<WindowBox> windows = waitForWindows(screen, 1, 30, &program);
    ASSERT_EQ(windows.size(), 1u) << program.output();
    EXPECT_EQ(windows[0].width, c.width);
    EXPECT_EQ(windows[0].height, c.height);
    EXPECT_EQ(windows[0].x, c.x);
    EXPECT_EQ(windows[0].y, c.y);
    program.stop();
    // The next case's window must not be mistaken for this one.
    ASSERT_TRUE(waitForWindows(screen, 0, 10, nullptr).empty());
  }
  screen.close();
}

}  // namespace
