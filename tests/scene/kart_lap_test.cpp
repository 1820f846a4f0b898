// The curve kart's lap: turn events, heading, end of lap and the odd cases.
#include <gtest/gtest.h>

#include <vector>

#include "app/animation.h"
#include "app/scene_state.h"
#include "math/curve.h"
#include "scene/kart_lap.h"

namespace {

struct LapRecord {
  std::vector<float> eventParams;   // curve parameter of the pass in which each event fired
  std::vector<float> headings;      // heading after each completed turn
  float endParam = -1;
  CVector3D endPosition{0, 0, 0};
  int passes = 0;
};

// One drawing pass per idle step, starting with the animation switched on.
LapRecord driveOneLap(SceneState& scene, CurveKartState& kart) {
  LapRecord record;
  scene.curveAnimationOn = true;
  float lastHeading = 0;
  for (int pass = 0; pass < 2000; ++pass) {
    const float param = scene.curveParam;
    const CVector3D position = curvePoint(CURVE_CONTROL_POINTS, CURVE_POINT_COUNT, param);
    int firedBefore = 0;
    for (bool fired : kart.turnFired) firedBefore += fired;
    const bool ended = stepCurveKart(kart, position, scene);
    ++record.passes;
    if (ended) {
      record.headings.push_back(lastHeading);  // the eighth turn, completed before the lap ends
      record.endParam = param;
      record.endPosition = position;
      scene.curveAnimationOn = !scene.curveAnimationOn;  // what the drawing does next
      return record;
    }
    int firedAfter = 0;
    for (bool fired : kart.turnFired) firedAfter += fired;
    if (firedAfter > firedBefore) {
      record.eventParams.push_back(param);
      // A new turn starts from the heading the previous one completed.
      if (firedAfter > 1) record.headings.push_back(kart.turnStartHeading);
    }
    lastHeading = kart.kartHeading;
    stepAnimation(scene);
  }
  return record;
}

TEST(CurveKartLap, EventsHeadingsAndEndAsOneClockwiseLoop) {
  SceneState scene;
  CurveKartState kart;
  const LapRecord lap = driveOneLap(scene, kart);

  const float expectedParams[] = {1.02f, 2.01f, 2.46f, 3.69f, 4.26f, 5.43f, 6.27f, 7.56f};
  ASSERT_EQ(lap.eventParams.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(lap.eventParams[i], expectedParams[i], 0.02f) << "event " << i + 1;

  const float expectedHeadings[] = {-90, -180, -270, -180, -90, -180, -270, -360};
  ASSERT_EQ(lap.headings.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(lap.headings[i], expectedHeadings[i]) << "turn " << i + 1;

  EXPECT_NEAR(lap.endParam, 0.01f, 0.015f);
  EXPECT_NEAR(lap.endPosition.x, -0.13, 0.02);
  EXPECT_NEAR(lap.endPosition.y, 0.33, 1e-9);
  EXPECT_NEAR(lap.endPosition.z, -9.90, 0.02);

  EXPECT_EQ(kart.kartHeading, 0);
  EXPECT_EQ(kart.crossingsX, 0);
  EXPECT_EQ(kart.crossingsZ, 0);
  for (bool fired : kart.turnFired) EXPECT_FALSE(fired);
  EXPECT_EQ(scene.curveParam, 0.0f);
  EXPECT_FALSE(scene.curveAnimationOn);
}

TEST(CurveKartLap, SecondLapRunsExactlyLikeTheFirst) {
  SceneState scene;
  CurveKartState kart;
  const LapRecord first = driveOneLap(scene, kart);
  const LapRecord second = driveOneLap(scene, kart);
  EXPECT_EQ(first.eventParams, second.eventParams);
  EXPECT_EQ(first.headings, second.headings);
  EXPECT_EQ(first.passes, second.passes);
}

TEST(CurveKartLap, FirstPassCountsTheStartingZ) {
  SceneState scene;
  CurveKartState kart;
  stepCurveKart(kart, curvePoint(CURVE_CONTROL_POINTS, CURVE_POINT_COUNT, 0), scene);
  EXPECT_EQ(kart.crossingsZ, 1);
  EXPECT_EQ(kart.crossingsX, 0);
  EXPECT_EQ(kart.lastCellZ, -10);
}

TEST(CurveKartLap, TurnFinishesWhileTheKartStands) {
  SceneState scene;
  CurveKartState kart;
  kart.crossingsX = 24;
  kart.lastCellX = -24;
  const CVector3D standing(-25.5, 0.33, -10);  // one more x crossing fires event 1
  stepCurveKart(kart, standing, scene);
  EXPECT_TRUE(kart.turningRight);
  for (int pass = 1; pass < 15; ++pass) stepCurveKart(kart, standing, scene);
  EXPECT_EQ(kart.kartHeading, -90);
  EXPECT_TRUE(kart.turningRight) << "the 16th pass ends the turn";
  stepCurveKart(kart, standing, scene);
  EXPECT_FALSE(kart.turningRight);
  EXPECT_EQ(kart.kartHeading, -90);
}

TEST(CurveKartLap, OppositeTurnsOverlappingHoldTheHeadingThenEndOneAfterTheOther) {
  SceneState scene;
  CurveKartState kart;
  kart.kartHeading = -180;
  kart.turningRight = true;
  kart.turningLeft = true;
  kart.turnStartHeading = -180;
  const CVector3D here(0.5, 0.33, -10.5);
  kart.lastCellX = 0;
  kart.lastCellZ = -10;
  for (int pass = 0; pass < 7; ++pass) {
    stepCurveKart(kart, here, scene);
    EXPECT_EQ(kart.kartHeading, -180) << pass;
    EXPECT_EQ(kart.turnProgress, 12.0f * (pass + 1));
  }
  // Progress 84: the right step makes it 90 (not past), the left step 96.
  stepCurveKart(kart, here, scene);
  EXPECT_TRUE(kart.turningRight);
  EXPECT_FALSE(kart.turningLeft);
  EXPECT_EQ(kart.kartHeading, -90) << "the left turn ends first at start + 90";
  stepCurveKart(kart, here, scene);
  EXPECT_FALSE(kart.turningRight);
  EXPECT_EQ(kart.kartHeading, -270) << "then the right turn ends at start - 90";
}

TEST(CurveKartLap, JumpOverSeveralIntegersCountsOnceAndSkipsNoEvent) {
  SceneState scene;
  CurveKartState kart;
  kart.crossingsX = 23;
  kart.lastCellX = -20;
  stepCurveKart(kart, CVector3D(-26.5, 0.33, -10.5), scene);  // x jumped 6 integers
  EXPECT_EQ(kart.crossingsX, 24);
  EXPECT_FALSE(kart.turnFired[0]);
  stepCurveKart(kart, CVector3D(-27.5, 0.33, -10.5), scene);
  EXPECT_EQ(kart.crossingsX, 25);
  EXPECT_TRUE(kart.turnFired[0]) << "event 1 fires later, not never";
}

}  // namespace
