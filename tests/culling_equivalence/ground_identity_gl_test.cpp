// The culled ground against the immediate-mode ground under cameras the free
// camera cannot take: any eye, any up vector, any field of view, viewports
// that do not start at the origin, and selection through a pick matrix.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/shell/window.h"
#include "image/scene_textures.h"
#include "scene/ground.h"
#include "tests/reference/path_comparison.h"
#include "tests/support/gl_context.h"

namespace {

struct Camera : LookAt {
  double fovy, aspect, zNear, zFar;
  GLint viewport[4];
};

std::string describe(const Camera& c) {
  std::ostringstream text;
  text << "eye (" << c.eye[0] << ", " << c.eye[1] << ", " << c.eye[2] << ") centre (" << c.center[0] << ", "
       << c.center[1] << ", " << c.center[2] << ") up (" << c.up[0] << ", " << c.up[1] << ", " << c.up[2]
       << ") fovy " << c.fovy << " aspect " << c.aspect << " near " << c.zNear << " viewport " << c.viewport[0] << ' '
       << c.viewport[1] << ' ' << c.viewport[2] << ' ' << c.viewport[3];
  return text.str();
}

void place(const Camera& c) {
  glViewport(c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(c.fovy, c.aspect, c.zNear, c.zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  lookAt(c);
}

std::vector<unsigned char> groundThrough(DrawPath path) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  setDrawPath(path);
  drawGround();
  setDrawPath(DrawPath::Culled);
  return supporttest::readBackBuffer(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
}

// Hit count and records of the ground alone in selection mode through a
// one-pixel region at (x, y), under the camera's projection.
std::vector<GLuint> pickGround(DrawPath path, const Camera& c, double x, double y) {
  GLuint buffer[64] = {};
  glSelectBuffer(64, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(7);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  GLint viewport[4] = {c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]};
  gluPickMatrix(x, y, 1, 1, viewport);
  gluPerspective(c.fovy, c.aspect, c.zNear, c.zFar);
  glMatrixMode(GL_MODELVIEW);
  setDrawPath(path);
  drawGround();
  setDrawPath(DrawPath::Culled);
  const GLint hits = glRenderMode(GL_RENDER);
  std::vector<GLuint> result = {static_cast<GLuint>(hits)};
  if (hits > 0) result.insert(result.end(), buffer, buffer + 4);
  return result;
}

class GroundIdentity : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { loadSceneTextures(); }

  void SetUp() override {
    initGL();
    glEnable(GL_LIGHT0);
    const GLfloat direction[4] = {0.3f, 1, 0.2f, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
  }

  void TearDown() override {
    glDisable(GL_LIGHT0);
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
  }
};

TEST_F(GroundIdentity, AnyCameraDrawsAndSelectsAsTheImmediateModeGround) {
  std::mt19937 random(4242);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  int picksWithHits = 0;
  for (int n = 0; n < 40; ++n) {
    Camera c;
    // Eyes from a hair above the ground to high above it, some outside the
    // grid, some below it looking up through it.
    const double heights[] = {0.005, 0.02, 0.1, 0.5, 2, 8, 40, -0.3, -5};
    c.eye[0] = uniform(-60, 60);
    c.eye[1] = heights[random() % std::size(heights)];
    c.eye[2] = uniform(-60, 60);
    if (n % 3 == 0) {  // straight down or up onto the grid
      c.center[0] = c.eye[0] + uniform(-0.01, 0.01);
      c.center[1] = 0;
      c.center[2] = c.eye[2] + uniform(-0.01, 0.01);
    } else {
      c.center[0] = uniform(-50, 50);
      c.center[1] = uniform(-3, 3);
      c.center[2] = uniform(-50, 50);
    }
    c.up[0] = uniform(-1, 1);
    c.up[1] = uniform(-1, 1);
    c.up[2] = uniform(-1, 1);
    c.fovy = uniform(15, 120);
    c.zNear = n % 4 == 0 ? 0.01 : 0.1;
    c.zFar = n % 5 == 0 ? 30 : 100;
    if (n % 4 == 1) {
      // A viewport that does not fill the window and does not start at the origin.
      c.viewport[0] = static_cast<GLint>(uniform(0, 300));
      c.viewport[1] = static_cast<GLint>(uniform(0, 200));
      c.viewport[2] = static_cast<GLint>(uniform(100, WINDOW_WIDTH - c.viewport[0]));
      c.viewport[3] = static_cast<GLint>(uniform(100, WINDOW_HEIGHT - c.viewport[1]));
    } else {
      c.viewport[0] = c.viewport[1] = 0;
      c.viewport[2] = WINDOW_WIDTH;
      c.viewport[3] = WINDOW_HEIGHT;
    }
    c.aspect = static_cast<double>(c.viewport[2]) / c.viewport[3];

    place(c);
    const std::vector<unsigned char> reference = groundThrough(DrawPath::Reference);
    const std::vector<unsigned char> culled = groundThrough(DrawPath::Culled);
    const FrameDifference difference = compareFrames(reference, culled);
    EXPECT_LE(difference.beyondTolerance * 1000, difference.pixels)
        << describe(c) << ": " << difference.beyondTolerance << " beyond tolerance, largest " << difference.largest;

    for (int p = 0; p < 3; ++p) {
      const double x = c.viewport[0] + uniform(0, c.viewport[2]);
      const double y = c.viewport[1] + uniform(0, c.viewport[3]);
      const std::vector<GLuint> expected = pickGround(DrawPath::Reference, c, x, y);
      const std::vector<GLuint> got = pickGround(DrawPath::Culled, c, x, y);
      EXPECT_EQ(got, expected) << describe(c) << " pick at " << x << ", " << y;
      if (expected[0] > 0) ++picksWithHits;
    }
  }
  // The draw must have been seen by most picks, or the comparison says little.
  EXPECT_GT(picksWithHits, 30);
}

// Pixels of the clear colour with ground on both sides, left and right or
// above and below: holes between the ground's pieces.
long holesIn(const std::vector<unsigned char>& pixels, int width, int height) {
  const auto clear = [&](int x, int y) {
    const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
    return p[0] == 255 && p[1] == 0 && p[2] == 255;
  };
  long holes = 0;
  for (int y = 1; y + 1 < height; ++y) {
    for (int x = 1; x + 1 < width; ++x) {
      if (clear(x, y) && ((!clear(x - 1, y) && !clear(x + 1, y)) || (!clear(x, y - 1) && !clear(x, y + 1)))) ++holes;
    }
  }
  return holes;
}

TEST_F(GroundIdentity, NoHolesBetweenPiecesAndCells) {
  // Magenta shows through wherever the ground leaves a pixel uncovered.
  glClearColor(1, 0, 1, 1);
  std::mt19937 random(99);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  const GLfloat headlightAt[4] = {0, 0, 0, 1}, ahead[3] = {0, 0, -1}, white[4] = {1, 1, 1, 1};
  for (int n = 0; n < 24; ++n) {
    Camera c{};
    const double heights[] = {0.05, 0.3, 0.5, 1, 3, 10};
    c.eye[0] = uniform(-40, 40);
    c.eye[1] = heights[n % std::size(heights)];
    c.eye[2] = uniform(-40, 40);
    c.center[0] = uniform(-45, 45);
    c.center[1] = 0;
    c.center[2] = uniform(-45, 45);
    c.up[1] = 1;
    c.fovy = 60;
    c.zNear = 0.1;
    c.zFar = 100;
    c.viewport[2] = WINDOW_WIDTH;
    c.viewport[3] = WINDOW_HEIGHT;
    c.aspect = static_cast<double>(WINDOW_WIDTH) / WINDOW_HEIGHT;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // A headlight on every other camera: its cone's edge makes the finest mix of pieces and cells.
    if (n % 2) {
      glLightfv(GL_LIGHT3, GL_DIFFUSE, white);
      glLightf(GL_LIGHT3, GL_SPOT_CUTOFF, 12);
      glLightfv(GL_LIGHT3, GL_POSITION, headlightAt);
      glLightfv(GL_LIGHT3, GL_SPOT_DIRECTION, ahead);
      glEnable(GL_LIGHT3);
    }
    place(c);
    glTranslated(0, 0, 2);
    EXPECT_EQ(holesIn(groundThrough(DrawPath::Culled), WINDOW_WIDTH, WINDOW_HEIGHT), 0) << describe(c);
    glDisable(GL_LIGHT3);
  }
  glClearColor(0, 0, 0, 0);
}

}  // namespace
