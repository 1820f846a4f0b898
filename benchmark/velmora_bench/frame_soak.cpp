// The soak run: the program's main loop turns with picks and every menu
// command interleaved, and the resident memory read now and then.
#include "benchmark/velmora_bench/frame_soak.h"

#include <GL/glut.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/menu.h"
#include "app/shell/shell.h"
#include "benchmark/velmora_bench/frame_window.h"
#include "benchmark/velmora_bench/frame_timing.h"

namespace {

constexpr int BASELINE_FRAME = 200;    // first reading, once caches and pools have filled
constexpr int REPORT_EVERY = 2000;
constexpr int SAMPLE_EVERY = 100;
constexpr int PICK_EVERY = 7;
constexpr int COMMAND_EVERY = 13;
// Growth allowed over the second half of the run, for allocator noise. The
// first half may grow while llvmpipe meets new combinations of lights and
// modes from the menu commands: it keeps the shaders it compiles for them.
// The resident size swings by several megabytes from one reading to the next
// (the rasteriser's bins come and go), so the second half is judged by the
// trend of all its readings, not by its two ends.
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

struct Sample {
  double frame;
  double kb;
};

// Least-squares slope of resident size over frames, in KB per frame.
double trendKbPerFrame(const std::vector<Sample>& samples) {
  if (samples.size() < 2) return 0;
  double meanFrame = 0, meanKb = 0;
  for (const Sample& s : samples) {
    meanFrame += s.frame;
    meanKb += s.kb;
  }
  meanFrame /= samples.size();
  meanKb /= samples.size();
  double covariance = 0, variance = 0;
  for (const Sample& s : samples) {
    covariance += (s.frame - meanFrame) * (s.kb - meanKb);
    variance += (s.frame - meanFrame) * (s.frame - meanFrame);
  }
  return variance > 0 ? covariance / variance : 0;
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
  useDisplay(countedDisplay);
  long baseline = -1, half = -1;
  int picks = 0, commands = 0;
  int lastPick = 0, lastCommand = 0, lastReport = 0, lastSample = 0;
  std::vector<Sample> secondHalfSamples;
  // The main loop's turn: events (and the posted redisplay, which draws), then idle.
  while (framesDrawn < frames) {
    mainLoopTurn();
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
    if (half >= 0 && framesDrawn - lastSample >= SAMPLE_EVERY) {
      lastSample = framesDrawn;
      secondHalfSamples.push_back({double(framesDrawn), double(residentKb())});
    }
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
  const long secondHalfEnds = final - half;
  const long secondHalfTrend = std::lround(trendKbPerFrame(secondHalfSamples) * (frames - frames / 2));
  const bool flat = secondHalfTrend <= FLAT_LIMIT_KB;
  std::printf("second half: %zu readings, trend %+ld KB over %d frames (last minus first reading %+ld KB)\n",
              secondHalfSamples.size(), secondHalfTrend, frames - frames / 2, secondHalfEnds);
  std::printf("soak: frames=%d picks=%d commands=%d frame_ms median %.2f p95 %.2f resident_kb=%ld growth_kb=%+ld "
              "second_half_trend_kb=%+ld %s\n",
              framesDrawn, picks, commands, frameTimes.median(), frameTimes.p95(), final, growth, secondHalfTrend,
              flat ? "flat" : "GROWING");
  return flat;
}
