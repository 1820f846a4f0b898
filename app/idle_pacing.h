// Holding the idle steps to the screen's rate when the display cannot hold the
// buffer swaps to it: at most one step per tick of a steady clock, so that at
// 60 steps a second the scene moves as it was made to, however fast frames draw.
#pragma once

// Whether `name` is one of the space-separated names in `list` (an extension
// string); a name that is only a prefix of a listed one does not count.
bool extensionListed(const char* list, const char* name);

// Paces steps on a grid of ticks: the first step runs at once; every later one
// waits for the next tick after the previous step. A step that comes late runs
// at once and starts the grid again, so a stall is not made up by a burst.
class IdlePacer {
 public:
  explicit IdlePacer(double tickSeconds) : tick_(tickSeconds) {}

  // How long to wait, in seconds, before the step asked for at `now` (seconds
  // on a steady clock) may run; the step is counted as run at now + the wait.
  double waitBeforeStep(double now);

 private:
  double tick_;
  double next_ = 0;
  bool started_ = false;
};

// The rate the idle steps are held to when the display has no swap control.
constexpr double IDLE_STEPS_PER_SECOND = 60;
