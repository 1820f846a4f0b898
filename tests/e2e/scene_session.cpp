// The real velmora program under a private Xvfb, seen through screenshots and
// driven through xdotool.
#include "tests/e2e/scene_session.h"

#include <time.h>

#include <algorithm>
#include <cmath>

#include "tests/support/test_paths.h"

namespace e2etest {

using visualtest::changedFraction;
using visualtest::MeanColor;
using visualtest::meanColor;

namespace {

// Changes up to this size are not counted as a difference between two shots.
constexpr int STILL_THRESHOLD = 8;

void pause(double seconds) {
  timespec t;
  t.tv_sec = static_cast<time_t>(seconds);
  t.tv_nsec = static_cast<long>((seconds - t.tv_sec) * 1e9);
  nanosleep(&t, nullptr);
}

// freeglut draws its menus itself: a light grey panel, the entry under the
// pointer lighter still, black labels.
bool isMenuPanelPixel(const unsigned char* p) {
  const int low = std::min({p[0], p[1], p[2]});
  const int high = std::max({p[0], p[1], p[2]});
  return low >= 140 && high - low <= 12;
}

double menuPanelFraction(const RgbImage& image, const PixelRegion& region) {
  long count = 0;
  for (int y = region.y; y < region.y + region.height; ++y)
    for (int x = region.x; x < region.x + region.width; ++x)
      if (isMenuPanelPixel(image.at(x, y))) ++count;
  return static_cast<double>(count) / (static_cast<double>(region.width) * region.height);
}

}  // namespace

double secondsNow() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

SceneSession::~SceneSession() {
  quickInput_.closeInput();
  quickInput_.stop();
  program_.stop();
  // The connection goes before the server: Xlib ends the process when its server vanishes.
  screen_.close();
  xvfb_.stop();
}

bool SceneSession::start(const std::string& program, const std::string& workingDir, std::string* error) {
  // Big enough for the 1300 x 1000 window at (300, 20) and the menus beside it.
  if (!xvfb_.start(1600, 1200, error)) return false;
  if (!screen_.open(xvfb_.displayName())) {
    *error = "cannot connect to " + xvfb_.displayName();
    return false;
  }
  ProcessSpec launch;
  launch.argv = {program};
  launch.workingDir = workingDir;
  // Mesa keeps allocations to the end, and freeglut ends the program with exit():
  // leak reports of a sanitizer build would only be about those.
  // Mesa's software renderer, as the pictures the screen is compared with were made.
  launch.setEnv = {{"DISPLAY", xvfb_.displayName()},
                   {"ASAN_OPTIONS", "detect_leaks=0"},
                   {"LIBGL_ALWAYS_SOFTWARE", "1"},
                   {"GALLIUM_DRIVER", "llvmpipe"}};
  if (!program_.start(launch, error)) return false;

  const double deadline = secondsNow() + 30;
  while (secondsNow() < deadline) {
    const std::vector<WindowBox> windows = screen_.viewableWindows("Velmora");
    if (!windows.empty()) {
      window_ = windows.front();
      break;
    }
    if (!program_.running()) {
      *error = "the program ended before showing its window: " + program_.output();
      return false;
    }
    pause(0.05);
  }
  if (window_.id == 0) {
    *error = "no viewable window titled \"Velmora\" within 30 s";
    return false;
  }
  if (window_.width != WIDTH || window_.height != HEIGHT) {
    *error = "the window is " + std::to_string(window_.width) + "x" + std::to_string(window_.height) +
             ", not 1300x1000";
    return false;
  }
  // The X server starts with the pointer in the middle of the screen; lastMouse
  // in the program starts at the window's centre.
  pointer_ = {(1600 / 2) - window_.x, (1200 / 2) - window_.y};

  // Drawn: the sky's top corner is neither the black of an undrawn window nor empty.
  bool drawn = false;
  waitFor(
      [](const RgbImage& image) {
        const MeanColor sky = meanColor(image, {0, 0, 200, 100});
        return sky.b > 100;
      },
      30, &drawn);
  if (!drawn) {
    *error = "the window showed no scene within 30 s";
    return false;
  }
  return true;
}

RgbImage SceneSession::shot() { return shot({0, 0, WIDTH, HEIGHT}); }

RgbImage SceneSession::shot(const PixelRegion& region) {
  // A region of the window, but placed in a full-size picture so that window
  // coordinates hold; pixels outside the region stay black.
  RgbImage full(WIDTH, HEIGHT);
  const RgbImage part = screen_.grab(window_.x + region.x, window_.y + region.y, region.width, region.height);
  if (part.empty()) return full;
  for (int y = 0; y < region.height; ++y)
    std::copy_n(part.at(0, y), static_cast<size_t>(region.width) * 3, full.at(region.x, region.y + y));
  return full;
}

RgbImage SceneSession::waitFor(const std::function<bool(const RgbImage&)>& done, double seconds, bool* met) {
  const double deadline = secondsNow() + seconds;
  RgbImage image;
  for (;;) {
    image = shot();
    if (done(image)) {
      *met = true;
      return image;
    }
    if (secondsNow() >= deadline) {
      *met = false;
      return image;
    }
    pause(0.05);
  }
}

bool SceneSession::waitUntilStill(const PixelRegion& region, double gap, double seconds, RgbImage* still) {
  const double deadline = secondsNow() + seconds;
  RgbImage previous = shot();
  while (secondsNow() < deadline) {
    pause(gap);
    RgbImage current = shot();
    if (changedFraction(previous, current, region, STILL_THRESHOLD) == 0) {
      if (still) *still = current;
      return true;
    }
    previous = current;
  }
  if (still) *still = previous;
  return false;
}

bool SceneSession::moveTo(WindowPoint point, std::string* error) {
  if (!xdotool(displayName(), {"mousemove", std::to_string(window_.x + point.x), std::to_string(window_.y + point.y)},
               error))
    return false;
  pointer_ = point;
  return true;
}

bool SceneSession::click(int button, std::string* error) {
  return xdotool(displayName(), {"click", std::to_string(button)}, error);
}

bool SceneSession::key(const std::string& name, std::string* error) {
  return xdotool(displayName(), {"key", name}, error);
}

bool SceneSession::prepareQuickClick(std::string* error) {
  // xdotool reading its commands from stdin carries out each line as it comes.
  ProcessSpec launch;
  launch.argv = {"xdotool", "-"};
  launch.setEnv = {{"DISPLAY", displayName()}};
  launch.stdinPipe = true;
  return quickInput_.start(launch, error);
}

bool SceneSession::quickClick(int button, std::string* error) {
  const bool sent = quickInput_.writeInput("click " + std::to_string(button) + "\n");
  quickInput_.closeInput();
  const bool ended = quickInput_.waitFor(10);
  if (!sent || !ended || quickInput_.exitStatus() != 0) {
    *error = "xdotool did not click: " + quickInput_.output();
    quickInput_.stop();
    return false;
  }
  quickInput_.stop();
  return true;
}

bool SceneSession::waitForMenus(size_t count, double seconds, std::vector<WindowBox>* menus) {
  const double deadline = secondsNow() + seconds;
  do {
    *menus = screen_.viewableWindows("freeglut menu");
    if (menus->size() == count) return true;
    pause(0.02);
  } while (secondsNow() < deadline);
  return false;
}

bool SceneSession::chooseMenuEntry(int submenu, int entry, int entryCount, std::string* error) {
  static const char* const NAMES[] = {"Camera", "Lights", "Animations"};
  const std::string where = std::string("menu ") + NAMES[submenu] + ", entry " + std::to_string(entry + 1) + ": ";
  const WindowPoint home = pointer_;
  std::vector<WindowBox> menus;
  if (!click(3, error)) return false;
  if (!waitForMenus(1, 5, &menus)) {
    *error = where + "no pop-up menu appeared after the right click";
    return false;
  }
  // Entries are of equal height between a border of 2 pixels above and below.
  const WindowBox top = menus.front();
  const int entryHeight = (top.height - 4) / 3;
  if (entryHeight * 3 + 4 != top.height) {
    *error = where + "the top menu is " + std::to_string(top.height) + " pixels high, not three entries";
    return false;
  }
  auto entryCentre = [&](const WindowBox& menu, int index) {
    return WindowPoint{menu.x + menu.width / 2 - window_.x, menu.y + 2 + entryHeight * index + entryHeight / 2 - window_.y};
  };
  if (!moveTo(entryCentre(top, submenu), error)) return false;
  if (!waitForMenus(2, 5, &menus)) {
    *error = where + "the submenu did not open";
    return false;
  }
  const WindowBox sub = menus[0].id == top.id ? menus[1] : menus[0];
  if (sub.height != entryHeight * entryCount + 4) {
    *error = where + "the submenu is " + std::to_string(sub.height) + " pixels high, not " +
             std::to_string(entryCount) + " entries";
    return false;
  }
  if (!moveTo(entryCentre(sub, entry), error)) return false;

  // Seen on the screen: the submenu's panel, with the entry under the pointer
  // the brightest of them.
  const PixelRegion subRegion{sub.x - window_.x, sub.y - window_.y, sub.width, sub.height};
  const bool inside = subRegion.x >= 0 && subRegion.y >= 0 && subRegion.x + subRegion.width <= WIDTH &&
                      subRegion.y + subRegion.height <= HEIGHT;
  if (!inside) {
    *error = where + "the submenu lies outside the window";
    return false;
  }
  bool shown = false;
  int brightest = -1;
  auto drawnWithEntryLit = [&](const RgbImage& image) {
    if (menuPanelFraction(image, subRegion) < 0.5) return false;
    double best = -1;
    for (int i = 0; i < entryCount; ++i) {
      const MeanColor c =
          meanColor(image, {subRegion.x + 2, subRegion.y + 2 + entryHeight * i, subRegion.width - 4, entryHeight});
      if (c.r + c.g + c.b > best) {
        best = c.r + c.g + c.b;
        brightest = i;
      }
    }
    return brightest == entry;
  };
  // freeglut paints a menu when the entry under the pointer changes; a move
  // that lands before the new menu window is exposed paints nothing. Stepping
  // to a neighbouring entry and back paints it again.
  for (int attempt = 0; attempt < 4 && !shown; ++attempt) {
    if (attempt > 0) {
      if (!moveTo(entryCentre(sub, (entry + 1) % entryCount), error)) return false;
      pause(0.1);
      if (!moveTo(entryCentre(sub, entry), error)) return false;
    }
    waitFor(drawnWithEntryLit, attempt == 3 ? 5 : 1, &shown);
  }
  if (!shown) {
    const std::string kept = supporttest::keptFile("e2e-menu.png");
    writePng(kept, shot());
    *error = where + "the screen does not show the submenu with that entry highlighted (brightest entry: " +
             std::to_string(brightest + 1) + "); the screen is in " + kept;
    return false;
  }
  if (!click(1, error)) return false;
  if (!waitForMenus(0, 5, &menus)) {
    *error = where + "the menus stayed open after the choice";
    return false;
  }
  // Back where the menu was opened: the same position the program saw last,
  // so the move turns nothing.
  if (!moveTo(home, error)) return false;
  bool redrawn = false;
  waitFor([&](const RgbImage& image) { return menuPanelFraction(image, subRegion) < 0.2; }, 5, &redrawn);
  if (!redrawn) {
    *error = where + "the scene was not drawn again where the menu was";
    return false;
  }
  return true;
}

bool SceneSession::closeWindow() { return screen_.requestClose(window_.id); }

}  // namespace e2etest
