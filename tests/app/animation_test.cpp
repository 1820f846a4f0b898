// The idle step: one fixed animation step per call.
#include <gtest/gtest.h>

#include "app/animation.h"
#include "app/scene_state.h"

namespace {

TEST(IdleStep, FirstStepAfterStartSpinsAndGivesColourPointThree) {
  SceneState state;
  stepAnimation(state);
  EXPECT_EQ(state.spinAngle, 0.5);
  EXPECT_TRUE(state.gyrationOn);
  EXPECT_EQ(state.sunAngle, 5.0);
  EXPECT_EQ(state.lightColor[0], static_cast<float>(0.06 * 5));
  EXPECT_NEAR(state.lightColor[0], 0.3f, 1e-6f);
  EXPECT_EQ(state.lightColor[1], state.lightColor[0] + 10);
  EXPECT_EQ(state.lightColor[2], 0.9f);
  EXPECT_EQ(state.lightColor[3], 1.0f);
  EXPECT_EQ(state.curveParam, 0.0f);
}

TEST(IdleStep, SunWrapTakesColourFromAngleBeforeTheWrap) {
  SceneState state;
  state.sunAngle = 360;
  stepAnimation(state);
  EXPECT_EQ(state.sunAngle, 5.0);
  EXPECT_NEAR(state.lightColor[0], 21.9f, 1e-5f);
  EXPECT_NEAR(state.lightColor[1], 31.9f, 1e-5f);
  stepAnimation(state);
  EXPECT_NEAR(state.lightColor[0], 0.6f, 1e-6f);
}

TEST(IdleStep, SpinAngleOfExactly360StaysThenWraps) {
  SceneState state;
  state.spinAngle = 359.5;
  stepAnimation(state);
  EXPECT_EQ(state.spinAngle, 360.0);
  stepAnimation(state);
  EXPECT_EQ(state.spinAngle, 0.5);
}

TEST(IdleStep, SpinFrozenWithoutGyration) {
  SceneState state;
  state.gyrationOn = false;
  state.spinAngle = 42;
  for (int i = 0; i < 10; ++i) stepAnimation(state);
  EXPECT_EQ(state.spinAngle, 42.0);
}

TEST(IdleStep, CurveParameterWrapsFromNearTheEnd) {
  SceneState state;
  state.curveAnimationOn = true;
  state.curveParam = 7.99f;
  stepAnimation(state);
  EXPECT_NEAR(state.curveParam, 0.02f, 1e-5f);
  EXPECT_GE(state.curveParam, 0.0f);
}

TEST(IdleStep, CurveParameterHeldWhileTheKartStands) {
  SceneState state;
  state.curveParam = 3.21f;
  for (int i = 0; i < 5; ++i) stepAnimation(state);
  EXPECT_EQ(state.curveParam, 3.21f);
}

TEST(IdleStep, InvariantsHoldOverManySteps) {
  SceneState state;
  state.curveAnimationOn = true;
  for (int i = 0; i < 5000; ++i) {
    stepAnimation(state);
    ASSERT_GE(state.curveParam, 0.0f);
    ASSERT_LT(state.curveParam, 8.0f);
    ASSERT_GE(state.spinAngle, 0.0);
    ASSERT_LE(state.spinAngle, 360.0);
    ASSERT_GE(state.sunAngle, 0.0);
    ASSERT_LE(state.sunAngle, 360.0);
    ASSERT_EQ(state.lightColor[3], 1.0f);
  }
}

}  // namespace
