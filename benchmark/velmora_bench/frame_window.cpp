// The benchmark's window: start-up as the program does it, and its GLUT calls.
#include "benchmark/velmora_bench/frame_window.h"

#include <GL/freeglut.h>

#include "app/shell/shell.h"
#include "app/shell/startup.h"
#include "benchmark/velmora_bench/frame_timing.h"

namespace {

bool firstFrameDrawn = false;
double firstDisplayMs = 0;

// Stands in for the display callback until the first frame is on screen.
void displayFirstFrame() {
  const auto t0 = BenchClock::now();
  display();
  glFinish();
  firstDisplayMs = millisecondsBetween(t0, BenchClock::now());
  firstFrameDrawn = true;
}

}  // namespace

StartupTimes startUpLikeTheProgram() {
  StartupTimes times;
  static char name[] = "velmora";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  const auto t0 = BenchClock::now();
  createMainWindow(&argc, argv);
  registerCallbacks();
  const auto t1 = BenchClock::now();
  initScene([] { buildMenus(); });
  glFinish();
  const auto t2 = BenchClock::now();
  glutDisplayFunc(displayFirstFrame);
  while (!firstFrameDrawn) glutMainLoopEvent();
  const auto t3 = BenchClock::now();
  glutDisplayFunc(display);
  times.firstDisplay = firstDisplayMs;
  // The same frame again: what the first one paid beyond these was its models
  // and the driver's first compilations of the state it met.
  for (double& next : times.nextDisplays) {
    const auto t4 = BenchClock::now();
    display();
    glFinish();
    next = millisecondsBetween(t4, BenchClock::now());
  }
  times.window = millisecondsBetween(t0, t1);
  times.initScene = millisecondsBetween(t1, t2);
  times.firstFrame = millisecondsBetween(t2, t3);
  times.total = millisecondsBetween(t0, t3);
  return times;
}

void useDisplay(void (*draw)()) { glutDisplayFunc(draw); }

void mainLoopTurn() { glutMainLoopEvent(); }

void swapBuffers() { glutSwapBuffers(); }
