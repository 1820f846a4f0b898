// Spot lights switched off around objects their cones miss: the frame stays
// the same to the bit, under every light setting, from the poses that put the
// objects in and out of the cones.
#include <gtest/gtest.h>

#include <vector>

#include "app/animation.h"
#include "app/menu.h"
#include "app/scene_state.h"
#include "scene/culling/spot_reach.h"
#include "scene/frame.h"
#include "tests/app/scene_fixture.h"
#include "tests/reference/path_comparison.h"

namespace {

class SpotSwitching : public apptest::SceneTest {
 protected:
  void TearDown() override {
    SceneTest::TearDown();
    setSpotSwitching(true);
  }
};

std::vector<unsigned char> culledFrame(bool switching) {
  setSpotSwitching(switching);
  const PassState state = capturePassState();
  std::vector<unsigned char> pixels = drawAndReadFrame(DrawPath::Culled);
  restorePassState(state);
  setSpotSwitching(true);
  return pixels;
}

TEST_F(SpotSwitching, EveryLightSettingDrawsTheSameFrame) {
  const unsigned long switchedBefore = spotLightsSwitchedOff();
  const int poses[] = {CMD_BACK_TO_START, CMD_BENCH_VIEW, CMD_CAR_VIEW};
  for (int pose : poses) {
    for (int setting = 0; setting < LIGHT_SETTINGS; setting += pose == CMD_BACK_TO_START ? 1 : 3) {
      apptest::startUp();
      runMenuCommand(pose);
      applyLightSetting(setting);
      // Some steps on, so that the karts and the moving sun stand elsewhere.
      for (int step = 0; step < setting * 7; ++step) stepAnimation(sceneState);
      drawFrame();  // the kart lamps placed by this state's last kart
      const std::vector<unsigned char> without = culledFrame(false);
      const std::vector<unsigned char> with = culledFrame(true);
      EXPECT_EQ(compareFrames(without, with).differing, 0) << "pose command " << pose << ", light setting " << setting;
    }
  }
  // The lamps and the headlight miss most objects in these frames.
  EXPECT_GT(spotLightsSwitchedOff() - switchedBefore, 500u);
}

}  // namespace
