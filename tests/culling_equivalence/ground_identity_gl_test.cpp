// The culled ground against the immediate-mode ground under cameras the free
// camera cannot take (any eye, any up vector, any field of view, viewports
// that do not start at the origin, selection through a pick matrix) and
// under the sun, the headlight, a kart's lamps and a spot with an exponent:
// the same pixels covered, its lighting as OpenGL itself lights both within
// a few levels, the picture within the picture tolerance, the same hits; and
// where the lighting holds a term the planner does not model, the very same
// picture.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/lighting.h"
#include "app/shell/window.h"
#include "image/scene_textures.h"
#include "scene/ground.h"
#include "scene/kart.h"
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

// A camera over the whole window, y up, with the scene's field of view and
// depth range: eye x, y, z then centre x, y, z.
Camera wholeWindow(const std::array<double, 6>& eyeAndCentre) {
  Camera c{};
  std::copy(eyeAndCentre.begin(), eyeAndCentre.begin() + 3, c.eye);
  std::copy(eyeAndCentre.begin() + 3, eyeAndCentre.end(), c.center);
  c.up[1] = 1;
  c.fovy = 60;
  c.zNear = 0.1;
  c.zFar = 100;
  c.viewport[2] = WINDOW_WIDTH;
  c.viewport[3] = WINDOW_HEIGHT;
  c.aspect = static_cast<double>(WINDOW_WIDTH) / WINDOW_HEIGHT;
  return c;
}

// The lights a ground camera is compared under: the sun alone (its highlight
// moves with the eye), the headlight at the eye, a kart's two lamps on the
// ground in front of the eye, both spots at night, and a spot with an
// exponent, which the scene never sets but the planner must follow.
enum class Lights { Sun, SunAndHeadlight, SunAndLamps, Night, SpotWithExponent, COUNT };
const char* const LIGHT_NAMES[] = {"sun", "sun and headlight", "sun and kart lamps", "night: headlight and lamps",
                                   "spot with exponent 20"};

// The camera, and the lights in their frames: the sun and the spots at the eye
// in eye space, the kart lamps under a kart standing on the ground ahead.
void place(const Camera& c, Lights lights = Lights::Sun) {
  glViewport(c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(c.fovy, c.aspect, c.zNear, c.zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4}) glDisable(light);
  const GLfloat atEye[4] = {0, 0, 0, 1}, ahead[3] = {0, 0, -1}, white[4] = {1, 1, 1, 1};
  const GLfloat sun[4] = {0.3f, 1, 0.2f, 0}, dim[4] = {0.3f, 0.3f, 0.3f, 1}, bright[4] = {1, 1, 1, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, lights == Lights::Night ? dim : bright);
  if (lights != Lights::Night) {
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glEnable(GL_LIGHT0);
  }
  if (lights == Lights::SunAndHeadlight || lights == Lights::Night) {
    glLightfv(GL_LIGHT3, GL_DIFFUSE, white);
    glLightf(GL_LIGHT3, GL_SPOT_CUTOFF, 12);
    glLightfv(GL_LIGHT3, GL_POSITION, atEye);
    glLightfv(GL_LIGHT3, GL_SPOT_DIRECTION, ahead);
    glEnable(GL_LIGHT3);
  }
  if (lights == Lights::SpotWithExponent) {
    glLightfv(GL_LIGHT4, GL_DIFFUSE, white);
    glLightf(GL_LIGHT4, GL_SPOT_CUTOFF, 40);
    glLightf(GL_LIGHT4, GL_SPOT_EXPONENT, 20);
    glLightfv(GL_LIGHT4, GL_POSITION, atEye);
    glLightfv(GL_LIGHT4, GL_SPOT_DIRECTION, ahead);
    glEnable(GL_LIGHT4);
  }
  lookAt(c);
  if (lights == Lights::SunAndLamps || lights == Lights::Night) {
    // A kart on the ground a few units ahead of the eye, facing away from it.
    const double ax = c.center[0] - c.eye[0], az = c.center[2] - c.eye[2];
    const double length = std::max(1e-9, std::sqrt(ax * ax + az * az));
    glPushMatrix();
    glScaled(KART_SCALE, KART_SCALE, KART_SCALE);
    glTranslated((c.eye[0] + 3 * ax / length) / KART_SCALE, KART_STAND_HEIGHT,
                 (c.eye[2] + 3 * az / length) / KART_SCALE);
    glRotated(std::atan2(az, -ax) * 180 / M_PI, 0, 1, 0);  // the kart's front, -x, along the view
    initKartLights();
    placeKartLights();
    glPopMatrix();
  }
}

// The ground alone through `path`, looked at as `look`, read back. The camera
// and lights are those in force.
std::vector<unsigned char> groundThrough(DrawPath path, GroundLook look = GroundLook::AsDrawn) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  GroundOnlyDrawing ground(path == DrawPath::Reference ? referenceDrawing() : culledDrawing(), look);
  ObjectDrawing* const before = setObjectDrawing(&ground);
  drawGround();
  setObjectDrawing(before);
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

  void SetUp() override { initGL(); }

  void TearDown() override {
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4}) glDisable(light);
    glLightf(GL_LIGHT4, GL_SPOT_EXPONENT, 0);
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

    const Lights lights = static_cast<Lights>(n % static_cast<int>(Lights::COUNT));
    place(c, lights);
    const std::string label = describe(c) + ", " + LIGHT_NAMES[static_cast<int>(lights)];
    const std::vector<unsigned char> reference = groundThrough(DrawPath::Reference);
    const std::vector<unsigned char> culled = groundThrough(DrawPath::Culled);
    const FrameDifference difference = compareFrames(reference, culled);
    EXPECT_LE(difference.beyondTolerance * 1000, difference.pixels)
        << label << ": " << difference.beyondTolerance << " beyond tolerance, largest " << difference.largest;
    EXPECT_LE(compareCovered(reference, culled).largest, PICTURE_LARGEST) << label;
    // Unlit and untextured: the same pixels covered. From an eye a hair above
    // the ground (5 mm) the fans' slivers run nearly along the line of sight,
    // and llvmpipe rasterises such long triangles' edges with other rounding
    // than the cells': a pixel or two along the ground's far edge may differ.
    const long coverageAllowed = std::fabs(c.eye[1]) < 0.01 ? 2 : 0;
    EXPECT_LE(coverageDifference(groundThrough(DrawPath::Reference, GroundLook::Coverage),
                                 groundThrough(DrawPath::Culled, GroundLook::Coverage)),
              coverageAllowed)
        << label << ": the ground's coverage differs";
    // Lit but without its picture: OpenGL's own lighting of the cells and of the pieces.
    const FrameDifference light = compareCovered(groundThrough(DrawPath::Reference, GroundLook::LightOnly),
                                                 groundThrough(DrawPath::Culled, GroundLook::LightOnly));
    EXPECT_LE(light.largest, GROUND_LIGHT_LARGEST) << label << ": the lighting is " << light.largest << " levels off";

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
  for (int n = 0; n < 24; ++n) {
    const double heights[] = {0.05, 0.3, 0.5, 1, 3, 10};
    // A braced list is evaluated left to right: the draws keep their order.
    const Camera c = wholeWindow({uniform(-40, 40), heights[n % std::size(heights)], uniform(-40, 40),
                                  uniform(-45, 45), 0, uniform(-45, 45)});
    // A headlight on every other camera: its cone's edge makes the finest mix of pieces and cells.
    place(c, n % 2 ? Lights::SunAndHeadlight : Lights::Sun);
    glTranslated(0, 0, 2);
    EXPECT_EQ(holesIn(groundThrough(DrawPath::Culled), WINDOW_WIDTH, WINDOW_HEIGHT), 0) << describe(c);
  }
  glClearColor(0, 0, 0, 0);
}

// Lighting the planner does not model: the ground must fall back to its exact
// cells, the very picture of the immediate-mode ground. The same camera without
// it draws pieces, whose picture differs a little, or the check says nothing.
TEST_F(GroundIdentity, LightingOutsideTheModelDrawsTheExactCells) {
  struct Outside {
    const char* name;
    void (*set)(bool on);
  };
  const Outside cases[] = {
      {"two-sided lighting", [](bool on) { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, on); }},
      {"colour material", [](bool on) { on ? glEnable(GL_COLOR_MATERIAL) : glDisable(GL_COLOR_MATERIAL); }},
      {"separate specular colour",
       [](bool on) {
         glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, on ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
       }},
      {"flat shading", [](bool on) { glShadeModel(on ? GL_FLAT : GL_SMOOTH); }},
  };
  const Camera c = wholeWindow({1.5, 0.6, 6, -2, 0, -4});
  place(c, Lights::SunAndLamps);
  const long inPieces = compareFrames(groundThrough(DrawPath::Reference), groundThrough(DrawPath::Culled)).differing;
  EXPECT_GT(inPieces, 0) << "the ground is not drawn in pieces from " << describe(c);
  for (const Outside& outside : cases) {
    outside.set(true);
    const FrameDifference difference =
        compareFrames(groundThrough(DrawPath::Reference), groundThrough(DrawPath::Culled));
    outside.set(false);
    EXPECT_EQ(difference.differing, 0) << outside.name << ": largest " << difference.largest;
  }
}

}  // namespace
