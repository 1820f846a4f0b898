// Idle pacing: steps on a grid of ticks, and extension names in a list.
#include "app/idle_pacing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct NameCase {
  const char* list;
  const char* name;
  bool listed;
};

TEST(ExtensionListed, WholeNamesOnly) {
  const NameCase cases[] = {
      {"GLX_ARB_a GLX_EXT_swap_control GLX_b", "GLX_EXT_swap_control", true},
      {"GLX_EXT_swap_control", "GLX_EXT_swap_control", true},
      {"GLX_EXT_swap_control_tear GLX_MESA_query", "GLX_EXT_swap_control", false},
      {"GLX_XEXT_swap_control", "GLX_EXT_swap_control", false},
      {"GLX_EXT_swap_control_tear GLX_EXT_swap_control", "GLX_EXT_swap_control", true},
      {"", "GLX_SGI_swap_control", false},
      {nullptr, "GLX_SGI_swap_control", false},
      {"GLX_SGI_swap_control", "", false},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(extensionListed(c.list, c.name), c.listed) << (c.list ? c.list : "(null)") << " / " << c.name;
  }
}

// Runs steps asked for at `asks` (seconds) and returns when each one ran.
std::vector<double> stepTimes(const std::vector<double>& asks, double tick) {
  IdlePacer pacer(tick);
  std::vector<double> ran;
  double clock = 0;
  for (double ask : asks) {
    clock = std::max(clock, ask);  // a caller cannot ask before its previous wait ended
    clock += pacer.waitBeforeStep(clock);
    ran.push_back(clock);
  }
  return ran;
}

struct PaceCase {
  const char* what;
  std::vector<double> asks;
  std::vector<double> ran;
};

TEST(IdlePacer, StepsKeepToTheTicks) {
  const PaceCase cases[] = {
      {"asked at once, each waits for its tick", {0, 0, 0, 0}, {0, 1, 2, 3}},
      {"asked slower than the ticks, none waits", {0, 1.5, 3, 4.5}, {0, 1.5, 3, 4.5}},
      {"a little late keeps the grid", {0, 1.2, 1.3, 1.4}, {0, 1.2, 2, 3}},
      {"a stall starts the grid again, no burst", {0, 5.5, 5.5, 5.5}, {0, 5.5, 6.5, 7.5}},
      {"the grid starts at the first ask", {10.25, 10.25}, {10.25, 11.25}},
  };
  for (const PaceCase& c : cases) {
    const std::vector<double> ran = stepTimes(c.asks, 1.0);
    ASSERT_EQ(ran.size(), c.ran.size()) << c.what;
    for (std::size_t i = 0; i < ran.size(); ++i) EXPECT_NEAR(ran[i], c.ran[i], 1e-9) << c.what << ", step " << i;
  }
}

TEST(IdlePacer, NeverMoreThanSixtyStepsInASecond) {
  // Asks as fast as a frame without vertical sync draws, with jitter.
  IdlePacer pacer(1.0 / IDLE_STEPS_PER_SECOND);
  std::vector<double> ran;
  double clock = 3.0;
  for (int i = 0; i < 2000; ++i) {
    clock += (i % 7) * 1e-4;
    clock += pacer.waitBeforeStep(clock);
    ran.push_back(clock);
  }
  for (std::size_t i = 0; i + 60 < ran.size(); ++i) EXPECT_GE(ran[i + 60] - ran[i], 1.0 - 1e-9) << i;
  EXPECT_NEAR(ran.back() - ran.front(), 1999 / IDLE_STEPS_PER_SECOND, 1e-6);
}

}  // namespace
