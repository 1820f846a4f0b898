// The culled frame against the straightforward one, from the named poses, from
// random cameras and under every light setting: at most 1 pixel in 1,000
// beyond the picture tolerance, the ground covering exactly the same pixels
// and, alone, lit as OpenGL lights the cells within a few levels, and every
// pick hit record the same.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/menu.h"
#include "app/shell/picking.h"
#include "image/scene_textures.h"
#include "scene/frame.h"
#include "scene/kart.h"
#include "scene/kart_lap.h"
#include "scene/pick_names.h"
#include "scene/signboard.h"
#include "tests/app/scene_fixture.h"
#include "tests/reference/path_comparison.h"
#include "tests/support/gl_context.h"

namespace {

std::string describe(const PickRecords& hits) {
  std::ostringstream text;
  text << hits.hits << " records:";
  for (GLuint w : hits.words) text << ' ' << w;
  return text.str();
}

class FrameIdentity : public apptest::SceneTest {
 protected:
  void TearDown() override {
    SceneTest::TearDown();
    setDrawPath(DrawPath::Culled);
  }

  // One frame through each path from the same state, its ground's coverage
  // through each, then a pick through each at every given pixel (origin
  // bottom left). The state is left as it was.
  static void expectIdentical(const std::string& label, const std::vector<std::array<int, 2>>& picks) {
    const PassState state = capturePassState();
    const FrameDifference difference = compareFrame();
    EXPECT_LE(difference.beyondTolerance * 1000, difference.pixels)
        << label << ": " << difference.beyondTolerance << " pixels differ by more than " << PICTURE_TOLERANCE
        << " levels (largest " << difference.largest << ")";
    // The ground unlit and untextured: drawn or not drawn at the same pixels.
    EXPECT_EQ(compareGroundOfFrame(GroundLook::Coverage).differing, 0) << label << ": the ground's coverage differs";
    for (const auto& at : picks) {
      const PickRecords expected = pickThrough(DrawPath::Reference, at[0], at[1]);
      const int expectedSignFrame = signboardFrame();
      const float expectedHeading = curveKartState().kartHeading;
      restorePassState(state);
      const PickRecords got = pickThrough(DrawPath::Culled, at[0], at[1]);
      // A pick is a drawing pass: the signboard's picture and the lap advance alike.
      EXPECT_EQ(signboardFrame(), expectedSignFrame) << label;
      EXPECT_EQ(curveKartState().kartHeading, expectedHeading) << label;
      restorePassState(state);
      EXPECT_EQ(got.hits, expected.hits) << label << " pick at " << at[0] << ", " << at[1];
      EXPECT_EQ(got.words, expected.words)
          << label << " pick at " << at[0] << ", " << at[1] << ": " << describe(got) << " vs " << describe(expected);
    }
  }

  // The pixel (origin bottom left) the world point shows at under the free camera.
  static std::array<int, 2> onScreen(double x, double y, double z) {
    SceneState copy = sceneState;
    const LookAt view = freeCameraLookAt(copy);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    lookAt(view);
    const std::array<double, 3> window = supporttest::projectToWindow(x, y, z);
    glPopMatrix();
    return {static_cast<int>(window[0]), static_cast<int>(window[1])};
  }

  // Guards the spots: an identity pick proves little if both paths agree on
  // "scenery only" because the layout moved. The pick at `at` must find
  // exactly `names` (through the culled path; the state is left as it was).
  static void expectPickFinds(const std::string& label, const std::array<int, 2>& at, std::set<GLuint> names) {
    const PassState state = capturePassState();
    const PickRecords hits = pickThrough(DrawPath::Culled, at[0], at[1]);
    restorePassState(state);
    std::set<GLuint> found;
    for (const HitRecord& record : readHitRecords(hits.words.data(), hits.hits, static_cast<int>(hits.words.size())))
      found.insert(record.names.begin(), record.names.end());
    EXPECT_EQ(found, names) << label << ": the pick at " << at[0] << ", " << at[1]
                            << " does not find what it is meant to (" << describe(hits) << ")";
  }

  static std::array<int, 2> windowCentre() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    return {viewport[2] / 2, viewport[3] / 2};
  }
};

// The comparisons below hold llvmpipe's rasterisation to the picture
// tolerance; another driver may round differently. CTest runs them on Mesa's
// software renderer (tests/support/with-display.sh); run by hand, say so.
TEST(Renderer, IsMesaLlvmpipe) {
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  ASSERT_NE(renderer, nullptr);
  EXPECT_NE(std::string(renderer).find("llvmpipe"), std::string::npos)
      << "rendering with \"" << renderer << "\": run through tests/support/with-display.sh (or ctest)";
}

TEST_F(FrameIdentity, NamedPosesDrawAndPickAsTheReference) {
  struct Pose {
    const char* name;
    int command;
  };
  // The kart on its first leg stands left of the centre line from the start
  // pose; (342, 467) is on its body, (650, 150) on the ground, (100, 950) in
  // the sky (checked below: the picks must find just that).
  const std::vector<std::array<int, 2>> spots = {{342, 467}, {650, 150}, {100, 950}, {650, 500}};
  for (const Pose& pose : {Pose{"start pose", CMD_BACK_TO_START}, Pose{"bench pose", CMD_BENCH_VIEW},
                           Pose{"car view", CMD_CAR_VIEW}}) {
    runMenuCommand(pose.command);
    sceneState.curveParam = 0.3f;
    if (pose.command == CMD_BACK_TO_START) {
      expectPickFinds("start pose, kart", spots[0], {PICK_NAME_CURVE_KART, PICK_NAME_SCENERY});
      expectPickFinds("start pose, ground", spots[1], {PICK_NAME_SCENERY});
      expectPickFinds("start pose, sky", spots[2], {PICK_NAME_SCENERY});
    }
    expectIdentical(pose.name, spots);
    // Further along: the spinning kart and the lap elsewhere.
    sceneState.spinAngle = 137.5;
    sceneState.curveParam = 4.6f;
    expectIdentical(std::string(pose.name) + ", later", spots);
  }
}

// Free cameras anywhere, low and high, pitched up to the limits, with the
// lights and animations in varied states.
void randomScene(std::mt19937& random) {
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  const double eyeHeights[] = {0.02, 0.05, 0.1, 0.3, 0.5, 1, 3, 10, 25};
  sceneState.carView = uniform(0, 1) < 0.15;
  sceneState.cameraPos = {uniform(-50, 50), eyeHeights[random() % std::size(eyeHeights)] - 0.5, uniform(-50, 50)};
  if (uniform(0, 1) < 0.4) sceneState.cameraPos = {uniform(-5, 5), sceneState.cameraPos.y, uniform(-5, 8)};
  sceneState.cameraYaw = uniform(-360, 360);
  const double pitches[] = {-75, -60, -30, -5, 0, 0, 5, 30, 75};
  sceneState.cameraPitch = uniform(0, 1) < 0.5 ? pitches[random() % std::size(pitches)] : uniform(-75, 75);
  sceneState.spinAngle = uniform(0, 360);
  sceneState.sunAngle = uniform(0, 360);
  sceneState.curveParam = static_cast<float>(uniform(0, 8));
  sceneState.sunMoving = uniform(0, 1) < 0.3;
  sceneState.colorChangeOn = uniform(0, 1) < 0.3;
  if (uniform(0, 1) < 0.3) runMenuCommand(CMD_TOGGLE_HEADLIGHT);
}

TEST_F(FrameIdentity, PicksOnTheSignboardAndTheBenchesMatchTheReference) {
  runMenuCommand(CMD_BACK_TO_START);
  sceneState.curveParam = 0.3f;
  // The signboard's edge facing the start pose, the first bench's seat, the
  // second bench's support, and the signboard's post.
  const std::vector<std::array<int, 2>> spots = {onScreen(0.05, 2.2, 2.0), onScreen(0.75, 0.16, 0.25),
                                                 onScreen(0.7, 0.2, 2.5), onScreen(0.05, 1.0, 1.0)};
  expectPickFinds("signboard's edge", spots[0], {PICK_NAME_SIGNBOARD, PICK_NAME_SCENERY});
  expectPickFinds("signboard's post", spots[3], {PICK_NAME_SIGNBOARD, PICK_NAME_SCENERY});
  expectIdentical("start pose, objects", spots);
  PickRecords onSign = pickThrough(DrawPath::Culled, spots[0][0], spots[0][1]);
  EXPECT_EQ(onSign.hits, 2) << describe(onSign);
}

TEST_F(FrameIdentity, RandomCamerasDrawAndPickAsTheReference) {
  std::mt19937 random(20240607);
  for (int camera = 0; camera < 24; ++camera) {
    randomScene(random);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const std::array<int, 2> somewhere = {static_cast<int>(random() % viewport[2]),
                                          static_cast<int>(random() % viewport[3])};
    std::ostringstream label;
    label << "camera " << camera << " at (" << sceneState.cameraPos.x << ", " << sceneState.cameraPos.y + 0.5 << ", "
          << sceneState.cameraPos.z << ") yaw " << sceneState.cameraYaw << " pitch " << sceneState.cameraPitch
          << (sceneState.carView ? " car view" : "");
    expectIdentical(label.str(), {windowCentre(), somewhere});
  }
}

// Every one of the 32 settings of the five light switches of the menu from
// four ground cameras, with the sun and the changing colour at random angles:
// the frame within the picture tolerance and its ground covering the same
// pixels; the ground alone within PICTURE_LARGEST and its lighting alone
// within GROUND_LIGHT_LARGEST of the straightforward ground's.
TEST_F(FrameIdentity, EveryLightSettingDrawsAsTheReference) {
  std::mt19937 random(1207);
  for (int camera = 0; camera < 4 * LIGHT_SETTINGS; ++camera) {
    apptest::startUp();
    const int setting = camera % LIGHT_SETTINGS;
    applyLightSetting(setting);
    placeRandomGroundCamera(random);
    std::ostringstream label;
    label << "camera " << camera << " light setting " << setting << " at (" << sceneState.cameraPos.x << ", "
          << sceneState.cameraPos.y + 0.5 << ", " << sceneState.cameraPos.z << ") yaw " << sceneState.cameraYaw
          << " pitch " << sceneState.cameraPitch << (sceneState.carView ? " car view" : "");
    expectIdentical(label.str(), {});
    // The frame's ground alone, under the frame's lights: as drawn, and lit without its picture.
    const FrameDifference ground = compareGroundOfFrame(GroundLook::AsDrawn);
    EXPECT_LE(ground.largest, PICTURE_LARGEST) << label.str() << ": the ground alone";
    const FrameDifference light = compareGroundOfFrame(GroundLook::LightOnly);
    EXPECT_LE(light.largest, GROUND_LIGHT_LARGEST) << label.str() << ": the ground's lighting alone";
  }
}

TEST_F(FrameIdentity, ResizedWindowDrawsAndPicksAsTheReference) {
  std::mt19937 random(77);
  for (const auto& size : {std::array<int, 2>{800, 600}, std::array<int, 2>{977, 613}}) {
    supporttest::resizeWindow(size[0], size[1]);
    reshape(size[0], size[1]);
    runMenuCommand(CMD_BACK_TO_START);
    sceneState.curveParam = 0.3f;
    expectIdentical("start pose, resized", {windowCentre(), {size[0] / 4, size[1] / 2}});
    for (int camera = 0; camera < 4; ++camera) {
      randomScene(random);
      expectIdentical("random camera " + std::to_string(camera) + ", resized to " + std::to_string(size[0]),
                      {windowCentre(), {static_cast<int>(random() % size[0]), static_cast<int>(random() % size[1])}});
    }
  }
}

}  // namespace
