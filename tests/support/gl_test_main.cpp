// Entry point of the test programs that need OpenGL: one 1300 x 1000 window,
// the program's own size, whose context every test uses.
#include <gtest/gtest.h>

#include "tests/support/gl_context.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  supporttest::createWindow(argc, argv, 1300, 1000);
  return RUN_ALL_TESTS();
}
