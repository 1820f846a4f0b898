// A GL test fixture with the whole scene as the program starts it: textures
// loaded, the first frame drawn (it reads the models); the window is put back
// after each test.
#pragma once

#include <gtest/gtest.h>

#include "app/shell/window.h"
#include "scene/frame.h"
#include "tests/app/gl_state.h"
#include "tests/support/gl_context.h"

namespace apptest {

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startUp();
    drawFrame();
  }

  void TearDown() override {
    supporttest::resizeWindow(WINDOW_WIDTH, WINDOW_HEIGHT);
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
  }
};

}  // namespace apptest
