// The ground's CPU lighting against OpenGL's own vertex lighting: colours of
// ground vertices read back in feedback mode under every kind of light the
// scene uses, and under the spot exponent and the infinite viewer it does not.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/shell/window.h"
#include "scene/culling/ground_lighting.h"
#include "scene/materials.h"

namespace {

struct LightCase {
  const char* name;
  GLfloat globalAmbient[4];
  bool sun;
  GLfloat sunDirection[4];  // eye space
  GLfloat sunDiffuse[4];
  bool headlight;
  bool lamps;
  GLfloat lampDiffuse[4];
  GLfloat headlightExponent = 0;  // 0 in the scene
  bool infiniteViewer = false;    // the scene has a local viewer
};

// Eye-space and kart-space lights as the scene places them: the sun still and
// moving, the changing colour far above 1, the headlight at the eye, and a
// kart's two lamps in front of it, shining forward and down.
const LightCase CASES[] = {
    {"still sun", {1, 1, 1, 1}, true, {0, 1, 0, 0}, {1, 0.9f, 0.9f, 1}, false, true, {2, 2, 2, 1}},
    {"moving sun", {1, 1, 1, 1}, true, {-2.4f, 1, 1.8f, 0}, {1, 0.9f, 0.9f, 1}, false, true, {2, 2, 2, 1}},
    {"changing colour", {1, 1, 1, 1}, true, {1.5f, 1, -2.6f, 0}, {9.6f, 19.6f, 0.9f, 1}, false, true,
     {9.6f, 19.6f, 0.9f, 1}},
    {"headlight, no sun", {0.3f, 0.3f, 0.3f, 1}, false, {0, 1, 0, 0}, {0, 0, 0, 1}, true, true, {2, 2, 2, 1}},
    {"headlight and sun, no lamps", {0.3f, 0.3f, 0.3f, 1}, true, {0, 1, 0, 0}, {1, 0.9f, 0.9f, 1}, true, false,
     {0, 0, 0, 1}},
    // Terms the scene leaves at their defaults, which the model reads all the same.
    {"headlight with a spot exponent", {0.3f, 0.3f, 0.3f, 1}, false, {0, 1, 0, 0}, {0, 0, 0, 1}, true, true,
     {2, 2, 2, 1}, 12},
    {"sun seen from an infinite viewer", {1, 1, 1, 1}, true, {-2.4f, 1, 1.8f, 0}, {1, 0.9f, 0.9f, 1}, false, true,
     {2, 2, 2, 1}, 0, true},
};

void setUpLights(const LightCase& c) {
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) glDisable(light);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, c.globalAmbient);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, c.infiniteViewer ? 0 : 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (c.sun) {
    glLightfv(GL_LIGHT0, GL_DIFFUSE, c.sunDiffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, c.sunDirection);
    glEnable(GL_LIGHT0);
  }
  if (c.headlight) {
    const GLfloat white[4] = {1, 1, 1, 1}, atEye[4] = {0, 0, 0, 1}, ahead[3] = {0, 0, -1};
    glLightfv(GL_LIGHT3, GL_DIFFUSE, white);
    glLightf(GL_LIGHT3, GL_SPOT_CUTOFF, 12);
    glLightf(GL_LIGHT3, GL_SPOT_EXPONENT, c.headlightExponent);
    glLightfv(GL_LIGHT3, GL_POSITION, atEye);
    glLightfv(GL_LIGHT3, GL_SPOT_DIRECTION, ahead);
    glEnable(GL_LIGHT3);
  }
  // The camera, then the ground's own translation.
  gluLookAt(0.7, 0.6, 4, -0.5, 0, -2, 0, 1, 0);
  glTranslated(0, 0, 2);
  if (c.lamps) {
    // A kart at (1.2, 0.2, -3) heading 30 degrees, scaled like the karts.
    glPushMatrix();
    glScaled(0.6, 0.6, 0.6);
    glTranslated(2, 0.33, -5);
    glRotated(30, 0, 1, 0);
    const GLfloat down[3] = {-1, -0.3f, 0}, right[4] = {-1.1f, -0.05f, -0.25f, 1}, left[4] = {-1.1f, -0.05f, 0.25f, 1};
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2}) {
      glLightfv(light, GL_DIFFUSE, c.lampDiffuse);
      glLightf(light, GL_SPOT_CUTOFF, 20);
      glLightfv(light, GL_SPOT_DIRECTION, down);
      glLightfv(light, GL_POSITION, light == GL_LIGHT1 ? right : left);
      glEnable(light);
    }
    glPopMatrix();
  }
  applyMaterial(CHROME_MATERIAL);
  glNormal3f(0, 1, 0);
}

// The lit colours OpenGL gives ground vertices at `points` (x, z), in feedback mode.
std::vector<std::array<float, 3>> feedbackColours(const std::vector<std::array<float, 2>>& points) {
  std::vector<GLfloat> buffer(points.size() * 8 + 16);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
  glRenderMode(GL_FEEDBACK);
  glBegin(GL_POINTS);
  for (const auto& p : points) glVertex3f(p[0], 0, p[1]);
  glEnd();
  const GLint words = glRenderMode(GL_RENDER);
  std::vector<std::array<float, 3>> colours;
  // Each point: GL_POINT_TOKEN, x, y, z, r, g, b, a.
  for (GLint w = 0; w + 7 < words; w += 8) colours.push_back({buffer[w + 4], buffer[w + 5], buffer[w + 6]});
  return colours;
}

class GroundLightingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    initGL();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Lighting happens in eye space whatever the projection; this one keeps
    // every point below in view, as feedback drops clipped ones.
    glOrtho(-200, 200, -200, 200, -500, 500);
  }
  void TearDown() override {
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) glDisable(light);
    glLightf(GL_LIGHT3, GL_SPOT_EXPONENT, 0);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
  }
};

TEST_F(GroundLightingTest, ShadesGroundVerticesAsOpenGLDoes) {
  // A dense patch under the lamps and the headlight, and a sparse sweep of the rest.
  std::vector<std::array<float, 2>> points;
  for (float x = -1; x <= 3; x += 0.09f) {
    for (float z = -9; z <= -1; z += 0.09f) points.push_back({x, z});
  }
  for (float x = -40; x <= 40; x += 3.7f) {
    for (float z = -40; z <= 40; z += 3.7f) points.push_back({x, z});
  }
  for (const LightCase& c : CASES) {
    setUpLights(c);
    const GroundLighting model = readGroundLighting();
    const std::vector<std::array<float, 3>> gl = feedbackColours(points);
    ASSERT_EQ(gl.size(), points.size()) << c.name << ": some points were clipped";
    float darkest = 3;
    for (const auto& colour : gl) darkest = std::min(darkest, colour[0] + colour[1] + colour[2]);
    int lit = 0, mismatches = 0;
    double largest = 0;
    std::string worst;
    for (std::size_t n = 0; n < points.size(); ++n) {
      const Rgb cpu = model.shade(points[n][0], points[n][1]);
      for (int ch = 0; ch < 3; ++ch) {
        const double difference = std::fabs(cpu[ch] - gl[n][ch]);
        if (difference > 1e-4) ++mismatches;
        if (difference > largest) {
          largest = difference;
          worst = "(" + std::to_string(points[n][0]) + ", " + std::to_string(points[n][1]) + ") channel " +
                  std::to_string(ch) + ": CPU " + std::to_string(cpu[ch]) + ", OpenGL " + std::to_string(gl[n][ch]);
        }
      }
      if (gl[n][0] + gl[n][1] + gl[n][2] > darkest + 0.05f) ++lit;
    }
    EXPECT_EQ(mismatches, 0) << c.name << ": largest difference at " << worst;
    // The patch must see the lights vary, or the comparison says little.
    EXPECT_GT(lit, 50) << c.name;
  }
}

}  // namespace
