// The installation: `cmake --install` into a fresh prefix, then the installed
// program started from another folder shows the textured scene with its karts,
// and the installed velmora-shot renders from the installed data.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/e2e/process.h"
#include "tests/e2e/scene_session.h"
#include "tests/support/test_paths.h"
#include "tests/visual/image_compare.h"

namespace {

using visualtest::CompareResult;
using visualtest::compareImages;
using visualtest::describe;
using visualtest::MeanColor;
using visualtest::meanColor;
using visualtest::crop;
using e2etest::ProcessSpec;
using e2etest::RunResult;
using e2etest::runProcess;
using e2etest::SceneSession;


bool isExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix = supporttest::makeTempDir("install");
    elsewhere = supporttest::makeTempDir("elsewhere");
    ProcessSpec launch;
    launch.argv = {CMAKE_COMMAND, "--install", BUILD_DIR, "--prefix", prefix};
    installed = runProcess(launch, 120);
  }
  static void TearDownTestSuite() {
    ProcessSpec remove;
    remove.argv = {"rm", "-rf", prefix, elsewhere};
    runProcess(remove, 60);
  }
  void SetUp() override {
    ASSERT_TRUE(installed.finished && installed.exitStatus == 0) << "cmake --install failed:\n" << installed.output;
  }

  static RgbImage reference(const std::string& name) {
    RgbImage image;
    std::string error;
    EXPECT_TRUE(readPng(supporttest::source("tests/visual/references/" + name + ".png"), &image, &error)) << error;
    return image;
  }

  static std::string prefix, elsewhere;
  static RunResult installed;
};

std::string Installed::prefix, Installed::elsewhere;
RunResult Installed::installed;

TEST_F(Installed, ProgramsLaunchersAndDataAreInPlace) {
  for (const char* program : {"bin/velmora", "libexec/velmora/velmora", "bin/velmora-shot", "bin/velmora-inspect",
                              "bin/velmora-grab"})
    EXPECT_TRUE(isExecutable(prefix + "/" + program)) << program;
  for (const char* file : {"skybox/pos_z.bmp", "skybox/neg_y.bmp", "wood1.bmp", "concrete.bmp", "cactus1.tga",
                           "cactus10.tga", "models/go-carts/GO-CART-BLUE.obj", "models/go-carts/GO-CART-BLUE.mtl",
                           "models/grass/trava.obj"})
    EXPECT_EQ(access((prefix + "/share/velmora/data/" + file).c_str(), R_OK), 0) << file;
  for (const char* own : {".velmora-datagen.stamp", ".velmora-datagen.manifest"})
    EXPECT_NE(access((prefix + "/share/velmora/data/" + own).c_str(), F_OK), 0) << "the build's " << own << " was installed";
}

TEST_F(Installed, ShotFromAnotherFolderUsesTheInstalledData) {
  ProcessSpec launch;
  launch.argv = {prefix + "/bin/velmora-shot", "--scale", "4", "start.png"};
  launch.workingDir = elsewhere;
  launch.unsetEnv = {"DISPLAY"};
  launch.setEnv = {{"ASAN_OPTIONS", "detect_leaks=0"}};
  const RunResult result = runProcess(launch, 120);
  ASSERT_EQ(result.exitStatus, 0) << result.output;
  RgbImage shot;
  std::string error;
  ASSERT_TRUE(readPng(elsewhere + "/start.png", &shot, &error)) << error;
  const CompareResult compared = compareImages(reference("start"), shot);
  EXPECT_TRUE(compared.passes) << describe(compared);
}

TEST_F(Installed, ProgramStartedFromAnotherFolderShowsTheScene) {
  SceneSession session;
  std::string error;
  ASSERT_TRUE(session.start(prefix + "/bin/velmora", elsewhere, &error)) << error;
  const RgbImage image = session.shot();
  const MeanColor sky = meanColor(image, {40, 30, 540, 400});
  EXPECT_GT(sky.b, sky.r + 30) << "the sky is not blue";
  EXPECT_LT(sky.r, 230) << "the sky is white: untextured";
  // The first frames as velmora-shot draws them, left of the circling kart
  // and of the grass its lamps light: the parked kart, the curve kart behind
  // the post, the post, sky and ground, at a quarter of the size.
  const RgbImage left = crop(reduceBox(image, 4), {0, 0, 195, 250});
  const CompareResult compared = compareImages(crop(reference("start"), {0, 0, 195, 250}), left);
  EXPECT_TRUE(compared.passes) << describe(compared);

  ASSERT_TRUE(session.closeWindow());
  ASSERT_TRUE(session.program().waitFor(5)) << "the program still runs after the close request";
  EXPECT_EQ(session.program().exitStatus(), 0) << session.program().output();
}

}  // namespace
