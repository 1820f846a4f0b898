// GLUT for the browser: the window is the page's canvas, the menus are the
// page's overlay, and the main loop is one idle step and one frame per
// animation frame of the browser.
#include "web/glut_web.h"

#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "web/gl/backend.h"
#include "web/gl/gl_layer.h"

namespace {

const char* const CANVAS = "#canvas";

struct MenuEntry {
  std::string label;
  int value;    // the item's id, for an entry
  int submenu;  // the menu it opens, or 0 for an entry
};

struct Menu {
  void (*callback)(int) = nullptr;
  std::vector<MenuEntry> entries;
};

struct Window {
  int width = 300, height = 300;
  void (*display)() = nullptr;
  void (*idle)() = nullptr;
  void (*reshape)(int, int) = nullptr;
  void (*special)(int, int, int) = nullptr;
  void (*passiveMotion)(int, int) = nullptr;
  void (*mouse)(int, int, int, int) = nullptr;
  std::vector<Menu> menus;  // menu id - 1
  int currentMenu = 0;
  int rightButtonMenu = 0;
  bool redisplay = true;
  bool reshaped = false;
  int mouseX = 0, mouseY = 0;
  // Held still after this many frames (0: runs on), and frames drawn so far.
  int holdAfter = 0;
  int framesDrawn = 0;
};

Window window;

// ---- The page --------------------------------------------------------------

// A JSON string literal of `text`.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    if (ch == '"' || ch == '\\') out += '\\';
    if (static_cast<unsigned char>(ch) < 0x20) continue;
    out += ch;
  }
  return out + "\"";
}

// The menu `id` and its submenus as JSON for the page's overlay.
std::string menuJson(int id, int depth) {
  std::string json = "{\"id\":" + std::to_string(id) + ",\"entries\":[";
  const Menu& menu = window.menus[static_cast<std::size_t>(id - 1)];
  for (std::size_t i = 0; i < menu.entries.size(); ++i) {
    const MenuEntry& e = menu.entries[i];
    if (i > 0) json += ",";
    json += "{\"label\":" + quoted(e.label);
    if (e.submenu != 0 && depth < 8) {
      json += ",\"submenu\":" + menuJson(e.submenu, depth + 1);
    } else {
      json += ",\"value\":" + std::to_string(e.value);
    }
    json += "}";
  }
  return json + "]}";
}

// Canvas pixels from the CSS pixels of an event: the canvas may be shown scaled.
void canvasPoint(long targetX, long targetY, int* x, int* y) {
  double cssWidth = 0, cssHeight = 0;
  emscripten_get_element_css_size(CANVAS, &cssWidth, &cssHeight);
  *x = cssWidth > 0 ? static_cast<int>(targetX * window.width / cssWidth) : static_cast<int>(targetX);
  *y = cssHeight > 0 ? static_cast<int>(targetY * window.height / cssHeight) : static_cast<int>(targetY);
}

EM_BOOL onMouseDown(int, const EmscriptenMouseEvent* e, void*) {
  int x, y;
  canvasPoint(e->targetX, e->targetY, &x, &y);
  if (e->button == 2 && window.rightButtonMenu != 0) {
    const std::string json = menuJson(window.rightButtonMenu, 0);
    EM_ASM(
        {
          if (Module['showMenu']) Module['showMenu'](JSON.parse(UTF8ToString($0)), $1, $2);
        },
        json.c_str(), e->clientX, e->clientY);
    return EM_TRUE;
  }
  if (window.mouse != nullptr && e->button <= 2) window.mouse(e->button, GLUT_DOWN, x, y);
  return EM_TRUE;
}

EM_BOOL onMouseUp(int, const EmscriptenMouseEvent* e, void*) {
  if (e->button == 2 && window.rightButtonMenu != 0) return EM_TRUE;
  int x, y;
  canvasPoint(e->targetX, e->targetY, &x, &y);
  if (window.mouse != nullptr && e->button <= 2) window.mouse(e->button, GLUT_UP, x, y);
  return EM_TRUE;
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* e, void*) {
  int x, y;
  canvasPoint(e->targetX, e->targetY, &x, &y);
  window.mouseX = x;
  window.mouseY = y;
  // GLUT's passive motion: the pointer moves with no button held.
  if (e->buttons == 0 && window.passiveMotion != nullptr) window.passiveMotion(x, y);
  return EM_FALSE;
}

int specialKeyOf(const char* key) {
  const std::string k = key;
  if (k == "ArrowLeft") return GLUT_KEY_LEFT;
  if (k == "ArrowUp") return GLUT_KEY_UP;
  if (k == "ArrowRight") return GLUT_KEY_RIGHT;
  if (k == "ArrowDown") return GLUT_KEY_DOWN;
  if (k == "PageUp") return GLUT_KEY_PAGE_UP;
  if (k == "PageDown") return GLUT_KEY_PAGE_DOWN;
  if (k == "Home") return GLUT_KEY_HOME;
  if (k == "End") return GLUT_KEY_END;
  if (k.size() >= 2 && k.size() <= 3 && k[0] == 'F' && k[1] >= '1' && k[1] <= '9') {
    const int n = std::stoi(k.substr(1));
    if (n >= 1 && n <= 12) return GLUT_KEY_F1 + n - 1;
  }
  return 0;
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent* e, void*) {
  const int key = specialKeyOf(e->key);
  if (key == 0) return EM_FALSE;
  if (window.special != nullptr) window.special(key, window.mouseX, window.mouseY);
  return EM_TRUE;  // no page scrolling under the arrows
}

// ---- The loop ---------------------------------------------------------------

void drawFrameNow() {
  if (window.display != nullptr) window.display();
  webgl::flushDrawing();
  ++window.framesDrawn;
  // For the page and its tests: frames drawn, and when the first one was.
  EM_ASM(
      {
        Module['frames'] = $0;
        if ($0 == 1) Module['firstFrameAt'] = performance.now();
      },
      window.framesDrawn);
}

void tick() {
  if (!window.reshaped) {
    // GLUT delivers a reshape before the first display.
    window.reshaped = true;
    if (window.reshape != nullptr) window.reshape(window.width, window.height);
    runStartCommands();
  }
  if (window.holdAfter > 0) {
    // A held page draws as velmora-shot does: the first frame without an
    // idle step before it, then one step before each frame.
    if (window.framesDrawn >= window.holdAfter) return;
    if (window.framesDrawn > 0 && window.idle != nullptr) window.idle();
    drawFrameNow();
    return;
  }
  if (window.idle != nullptr) window.idle();
  if (window.redisplay) {
    window.redisplay = false;
    drawFrameNow();
  }
}

}  // namespace

// ---- For the page's hooks ------------------------------------------------------

void runStartCommands() {
  // The page puts the commands of its address (?view=bench ...) in
  // Module.startCommands as menu item ids, and Module.holdAfterFrames.
  window.holdAfter = EM_ASM_INT({ return Module['holdAfterFrames'] | 0; });
  const int count = EM_ASM_INT({ return (Module['startCommands'] || []).length; });
  for (int i = 0; i < count; ++i) {
    const int value = EM_ASM_INT({ return Module['startCommands'][$0] | 0; }, i);
    chooseMenuItem(window.rightButtonMenu, value);
  }
}

bool chooseMenuItem(int menu, int value) {
  if (menu <= 0 || menu > static_cast<int>(window.menus.size())) return false;
  const Menu& m = window.menus[static_cast<std::size_t>(menu - 1)];
  for (const MenuEntry& e : m.entries) {
    if (e.submenu != 0) {
      if (chooseMenuItem(e.submenu, value)) return true;
    } else if (e.value == value) {
      if (m.callback != nullptr) m.callback(value);
      return true;
    }
  }
  return false;
}

double timeFrames(int count) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i) {
    const double start = emscripten_get_now();
    if (window.idle != nullptr) window.idle();
    drawFrameNow();
    glFinish();
    times.push_back(emscripten_get_now() - start);
  }
  // The median, as velmora-bench gives it: a shared machine's outliers do not move it.
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

extern "C" {

// The page's overlay calls this with the menu and the item chosen.
EMSCRIPTEN_KEEPALIVE void webglutMenuChosen(int menu, int value) {
  const Menu& m = window.menus.at(static_cast<std::size_t>(menu - 1));
  if (m.callback != nullptr) m.callback(value);
}

// ---- GLUT ---------------------------------------------------------------------

void glutInit(int* argc, char** argv) {
  (void)argc;
  (void)argv;
}

void glutInitDisplayMode(unsigned int mode) {
  // A WebGL 2 canvas is double-buffered RGB with a depth buffer: what the program asks for.
  if ((mode & ~static_cast<unsigned>(GLUT_DOUBLE | GLUT_DEPTH)) != 0)
    webgl::refuse("glutInitDisplayMode beyond RGB, double and depth");
}

void glutInitWindowPosition(int x, int y) {
  (void)x;
  (void)y;
}

void glutInitWindowSize(int width, int height) {
  window.width = width;
  window.height = height;
}

int glutCreateWindow(const char* title) {
  emscripten_set_canvas_element_size(CANVAS, window.width, window.height);
  EM_ASM({ document.title = UTF8ToString($0); }, title);
  if (!webgl::backendInit(CANVAS)) {
    std::fprintf(stderr,
                 "velmora: this browser gives the page no WebGL 2; open it in a browser with WebGL 2 "
                 "(a current Chromium or Firefox) and hardware or software rendering allowed\n");
    EM_ASM({
      if (Module['noWebGL2']) Module['noWebGL2']();
    });
    emscripten_force_exit(1);
  }
  webgl::deviceReady();
  emscripten_set_mousedown_callback(CANVAS, nullptr, EM_TRUE, onMouseDown);
  emscripten_set_mouseup_callback(CANVAS, nullptr, EM_TRUE, onMouseUp);
  emscripten_set_mousemove_callback(CANVAS, nullptr, EM_TRUE, onMouseMove);
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKeyDown);
  return 1;
}

void glutDisplayFunc(void (*func)(void)) { window.display = func; }
void glutIdleFunc(void (*func)(void)) { window.idle = func; }
void glutReshapeFunc(void (*func)(int, int)) { window.reshape = func; }
void glutSpecialFunc(void (*func)(int, int, int)) { window.special = func; }
void glutPassiveMotionFunc(void (*func)(int, int)) { window.passiveMotion = func; }
void glutMouseFunc(void (*func)(int, int, int, int)) { window.mouse = func; }

int glutCreateMenu(void (*func)(int value)) {
  Menu menu;
  menu.callback = func;
  window.menus.push_back(menu);
  window.currentMenu = static_cast<int>(window.menus.size());
  return window.currentMenu;
}

void glutAddMenuEntry(const char* label, int value) {
  if (window.currentMenu == 0) return webgl::refuse("glutAddMenuEntry with no current menu");
  window.menus[static_cast<std::size_t>(window.currentMenu - 1)].entries.push_back({label, value, 0});
}

void glutAddSubMenu(const char* label, int submenu) {
  if (window.currentMenu == 0) return webgl::refuse("glutAddSubMenu with no current menu");
  window.menus[static_cast<std::size_t>(window.currentMenu - 1)].entries.push_back({label, 0, submenu});
}

void glutAttachMenu(int button) {
  if (button != GLUT_RIGHT_BUTTON) return webgl::refuse("glutAttachMenu to a button other than the right one");
  window.rightButtonMenu = window.currentMenu;
}

void glutPostRedisplay(void) { window.redisplay = true; }

void glutSwapBuffers(void) {
  // The browser shows the canvas when the animation frame's callback returns.
  webgl::flushDrawing();
}

int glutGet(GLenum state) {
  switch (state) {
    case GLUT_WINDOW_WIDTH:
      return window.width;
    case GLUT_WINDOW_HEIGHT:
      return window.height;
    case GLUT_ELAPSED_TIME:
      return static_cast<int>(emscripten_get_now());
    default:
      webgl::refuse("glutGet of this state");
      return 0;
  }
}

void glutMainLoop(void) {
  // One call per animation frame; never returns, like GLUT's own loop.
  emscripten_set_main_loop(tick, 0, 1);
}

}  // extern "C"
