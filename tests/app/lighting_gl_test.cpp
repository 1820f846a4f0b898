// The lights' switches and placements, read back with glGetLightfv / glGetFloatv.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "tests/app/gl_state.h"

namespace {

using apptest::globalAmbient;
using apptest::light;
using Vec4 = std::array<float, 4>;

void expectVec(const Vec4& actual, const Vec4& expected, float tolerance = 1e-5f) {
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

class Lighting : public ::testing::Test {
 protected:
  void SetUp() override { apptest::startUp(); }
};

TEST_F(Lighting, StartUpEnablesSunAndKartLampsOnly) {
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
  EXPECT_TRUE(sceneState.sunOn);
  EXPECT_FALSE(sceneState.headlightOn);
  EXPECT_FALSE(sceneState.kartLightsOff);
  expectVec(globalAmbient(), {1, 1, 1, 1});
  EXPECT_EQ(light(GL_LIGHT1, GL_SPOT_CUTOFF)[0], 20);
  EXPECT_EQ(light(GL_LIGHT2, GL_SPOT_CUTOFF)[0], 20);
}

TEST_F(Lighting, HeadlightThenSunToggleTheGlobalAmbient) {
  toggleHeadlight();
  EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  expectVec(globalAmbient(), {0.3f, 0.3f, 0.3f, 1});
  expectVec(light(GL_LIGHT3, GL_DIFFUSE), {1, 1, 1, 1});
  EXPECT_EQ(light(GL_LIGHT3, GL_SPOT_CUTOFF)[0], 12);

  toggleSun();
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_FALSE(sceneState.sunOn);
  expectVec(globalAmbient(), {1, 1, 1, 1});

  toggleHeadlight();
  EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
  EXPECT_FALSE(sceneState.headlightOn);
  expectVec(globalAmbient(), {0.3f, 0.3f, 0.3f, 1});
}

TEST_F(Lighting, KartLampsToggleOffAndOnAgain) {
  toggleKartLights();
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
  EXPECT_TRUE(sceneState.kartLightsOff);
  toggleKartLights();
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
  EXPECT_FALSE(sceneState.kartLightsOff);
}

TEST_F(Lighting, StillSunShinesFromAboveInEyeSpace) {
  glLoadIdentity();
  placeSunLight();
  expectVec(light(GL_LIGHT0, GL_DIFFUSE), {1.0f, 0.9f, 0.9f, 1});
  expectVec(light(GL_LIGHT0, GL_POSITION), {0, 1, 0, 0});
}

TEST_F(Lighting, MovingSunCirclesTheViewer) {
  toggleSunMoving();
  sceneState.sunAngle = 45;
  glLoadIdentity();
  placeSunLight();
  expectVec(light(GL_LIGHT0, GL_POSITION), {-3, 1, 0, 0}, 1e-4f);
}

TEST_F(Lighting, ChangingColourReachesSunAndKartLampsButNotHeadlight) {
  toggleColorChange();
  toggleHeadlight();
  sceneState.sunAngle = 100;
  sceneState.lightColor[0] = static_cast<float>(0.06 * 100);
  sceneState.lightColor[1] = sceneState.lightColor[0] + 10;
  sceneState.lightColor[2] = 0.9f;
  glLoadIdentity();
  placeSunLight();
  placeHeadlight();
  placeKartLights();
  expectVec(light(GL_LIGHT0, GL_DIFFUSE), {6, 16, 0.9f, 1});
  expectVec(light(GL_LIGHT1, GL_DIFFUSE), {6, 16, 0.9f, 1});
  expectVec(light(GL_LIGHT2, GL_DIFFUSE), {6, 16, 0.9f, 1});
  expectVec(light(GL_LIGHT3, GL_DIFFUSE), {1, 1, 1, 1});

  toggleColorChange();
  placeSunLight();
  placeKartLights();
  expectVec(light(GL_LIGHT0, GL_DIFFUSE), {1, 0.9f, 0.9f, 1});
  expectVec(light(GL_LIGHT1, GL_DIFFUSE), {2, 2, 2, 1});
}

TEST_F(Lighting, HeadlightSitsAtTheEyeLookingAhead) {
  glLoadIdentity();
  placeHeadlight();
  expectVec(light(GL_LIGHT3, GL_POSITION), {0, 0, 0, 1});
  const Vec4 direction = light(GL_LIGHT3, GL_SPOT_DIRECTION);
  EXPECT_EQ(direction[0], 0);
  EXPECT_EQ(direction[1], 0);
  EXPECT_EQ(direction[2], -1);
}

TEST_F(Lighting, KartLampsFollowTheKartsFrame) {
  // A kart turned 90 degrees about +y at (10, 0, 0): its front (-x) now points to +z.
  glLoadIdentity();
  glTranslated(10, 0, 0);
  glRotated(90, 0, 1, 0);
  placeKartLights();
  expectVec(light(GL_LIGHT1, GL_POSITION), {10 - 0.25f, -0.05f, 1.1f, 1}, 1e-5f);
  expectVec(light(GL_LIGHT2, GL_POSITION), {10 + 0.25f, -0.05f, 1.1f, 1}, 1e-5f);
  const Vec4 direction = light(GL_LIGHT1, GL_SPOT_DIRECTION);
  EXPECT_NEAR(direction[0], 0, 1e-6);
  EXPECT_NEAR(direction[1], -0.3f, 1e-6);
  EXPECT_NEAR(direction[2], 1, 1e-6);
  glLoadIdentity();
}

}  // namespace
