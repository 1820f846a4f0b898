// A GL test fixture with the whole scene as the program starts it: textures
// loaded, the first frame drawn (it reads the models); the window and the lap
// are put back after each test.
#pragma once

#include <gtest/gtest.h>

#include "app/window.h"
#include "image/scene_textures.h"
#include "scene/frame.h"
#include "scene/kart.h"
#include "scene/kart_lap.h"
#include "tests/app/gl_state.h"
#include "tests/support/gl_context.h"

namespace apptest {

class SceneTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { loadSceneTextures(); }

  void SetUp() override {
    startUp();
    drawFrame();
  }

  void TearDown() override {
    supporttest::resizeWindow(WINDOW_WIDTH, WINDOW_HEIGHT);
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
    curveKartState() = CurveKartState{};
  }
};

}  // namespace apptest
