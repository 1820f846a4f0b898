// The soak run: the program's main loop turns with picks and every menu
// command interleaved, and the resident memory read now and then.
#include "bench/velmora_bench/frame_soak.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "app/animation.h"
#include "app/menu.h"
#include "app/picking.h"
#include "bench/velmora_bench/frame_startup.h"
#include "bench/velmora_bench/frame_timing.h"
#include "scene/frame.h"

namespace {

constexpr int BASELINE_FRAME = 200;    // first reading, once caches and pools have filled
constexpr int REPORT_EVERY = 2000;
constexpr int PICK_EVERY = 7;
constexpr int COMMAND_EVERY = 13;
// Growth allowed over the second half of the run, for allocator noise. The
// first half may grow while llvmpipe meets new combinations of lights and
// modes from the menu commands: it keeps the shaders it compiles for them.
constexpr long FLAT_LIMIT_KB = 2048;

int framesDrawn = 0;
Series frameTimes;

void countedDisplay() {
  const auto t0 = BenchClock::now();
  display();
  glFinish();
  frameTimes.add(millisecondsBetween(t0, BenchClock::now()));
  ++framesDrawn;
}

long residentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Every menu item id, in menu order, cycled.
constexpr int COMMAND_CYCLE[] = {CMD_FREE_MOVEMENT,       CMD_CAR_VIEW,          CMD_BENCH_VIEW,
                                 CMD_BACK_TO_START,       CMD_TOGGLE_SUN,        CMD_TOGGLE_SUN_MOVING,
                                 CMD_TOGGLE_COLOR_CHANGE, CMD_TOGGLE_HEADLIGHT,  CMD_TOGGLE_KART_LIGHTS,
                                 CMD_GYRATION,            CMD_CURVE_ANIMATION};

// Clicks in GLUT's window coordinates (origin top left), spread over the window.
constexpr int CLICKS[][2] = {{650, 500}, {480, 560}, {100, 50}, {650, 900}, {1200, 700}, {300, 620}, {900, 400}};

}  // namespace

bool runSoak(int frames) {
  std::printf("== soak: %d frames, a pick every %d frames and a menu command every %d\n", frames, PICK_EVERY,
              COMMAND_EVERY);
  startUpLikeTheProgram();
  glutDisplayFunc(countedDisplay);
  long baseline = -1, half = -1;
  int picks = 0, commands = 0;
  int lastPick = 0, lastCommand = 0, lastReport = 0;
  // The main loop's turn: events (and the posted redisplay, which draws), then idle.
  while (framesDrawn < frames) {
    glutMainLoopEvent();
    idle();
    if (framesDrawn - lastPick >= PICK_EVERY) {
      lastPick = framesDrawn;
      const int* click = CLICKS[picks % std::size(CLICKS)];
      mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, click[0], click[1]);
      ++picks;
    }
    if (framesDrawn - lastCommand >= COMMAND_EVERY) {
      lastCommand = framesDrawn;
      menuCommand(COMMAND_CYCLE[commands % std::size(COMMAND_CYCLE)]);
      ++commands;
    }
    if (half < 0 && framesDrawn >= frames / 2) half = residentKb();
    if (baseline < 0 && framesDrawn >= BASELINE_FRAME) {
      baseline = residentKb();
      lastReport = framesDrawn;
      std::printf("  frame %6d: resident %ld KB (baseline)\n", framesDrawn, baseline);
      std::fflush(stdout);
    } else if (baseline >= 0 && framesDrawn - lastReport >= REPORT_EVERY) {
      lastReport = framesDrawn;
      std::printf("  frame %6d: resident %ld KB (%+ld KB)\n", framesDrawn, residentKb(), residentKb() - baseline);
      std::fflush(stdout);
    }
  }
  const long final = residentKb();
  if (baseline < 0) baseline = final;
  if (half < 0) half = final;
  const long growth = final - baseline;
  const long secondHalf = final - half;
  const bool flat = secondHalf <= FLAT_LIMIT_KB;
  std::printf("soak: frames=%d picks=%d commands=%d frame_ms median %.2f p95 %.2f resident_kb=%ld growth_kb=%+ld "
              "second_half_growth_kb=%+ld %s\n",
              framesDrawn, picks, commands, frameTimes.median(), frameTimes.p95(), final, growth, secondHalf,
              flat ? "flat" : "GROWING");
  return flat;
}
