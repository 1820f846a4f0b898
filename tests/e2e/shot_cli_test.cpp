// velmora-shot as a person runs it: without an X display it runs itself under
// xvfb-run, its picture matches the visual reference, and it refuses bad
// command lines and a missing data folder with a message.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/e2e/process.h"
#include "tests/support/test_paths.h"
#include "tests/visual/image_compare.h"

namespace {

using visualtest::CompareResult;
using visualtest::compareImages;
using visualtest::describe;
using e2etest::ProcessSpec;
using e2etest::RunResult;
using e2etest::runProcess;


RunResult runShot(const std::vector<std::string>& args, const std::string& workingDir) {
  ProcessSpec launch;
  launch.argv = {VELMORA_SHOT};
  launch.argv.insert(launch.argv.end(), args.begin(), args.end());
  launch.workingDir = workingDir;
  launch.unsetEnv = {"DISPLAY"};  // the way a terminal without X runs it
  launch.setEnv = {{"ASAN_OPTIONS", "detect_leaks=0"}};
  return runProcess(launch, 120);
}

TEST(ShotCommand, WithoutADisplayRendersTheStartReference) {
  const std::string dir = supporttest::makeTempDir("shot");
  const RunResult result = runShot({"--scale", "4", dir + "/start.png"}, supporttest::dataRoot());
  ASSERT_TRUE(result.finished);
  ASSERT_EQ(result.exitStatus, 0) << result.output;
  RgbImage shot, reference;
  std::string error;
  ASSERT_TRUE(readPng(dir + "/start.png", &shot, &error)) << error;
  ASSERT_TRUE(readPng(supporttest::source("tests/visual/references/start.png"), &reference, &error)) << error;
  const CompareResult compared = compareImages(reference, shot);
  EXPECT_TRUE(compared.passes) << describe(compared);
  unlink((dir + "/start.png").c_str());
  rmdir(dir.c_str());
}

TEST(ShotCommand, RefusesBadCommandLinesAndMissingData) {
  const std::string empty = supporttest::makeTempDir("shot-nodata");
  struct Case {
    std::vector<std::string> args;
    std::string workingDir;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {{}, supporttest::dataRoot(), 2, "velmora-shot: no output file given"},
      {{"--view", "top", "x.png"}, supporttest::dataRoot(), 2, "velmora-shot: --view takes start, bench, car or free"},
      {{"--frames", "0", "x.png"}, supporttest::dataRoot(), 2, "velmora-shot: --frames takes a count"},
      {{"x.png"}, empty, 1, "velmora-shot: no data/ folder here"},
      {{"--root", empty, "x.png"}, supporttest::dataRoot(), 1, "velmora-shot: no data/ folder in " + empty},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const RunResult result = runShot(c.args, c.workingDir);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitStatus, c.status) << result.output;
    EXPECT_EQ(result.output.compare(0, c.message.size(), c.message), 0) << result.output;
  }
  EXPECT_NE(access((empty + "/x.png").c_str(), F_OK), 0) << "a refused shot wrote a file";
  rmdir(empty.c_str());

  const RunResult help = runShot({"--help"}, supporttest::dataRoot());
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_EQ(help.output.compare(0, 33, "Usage: velmora-shot [OPTIONS] OUT"), 0) << help.output;
}

TEST(ShotCommand, FailsWithoutAPictureWhenAScenePictureCannotBeUsed) {
  // The project's data/ with the wood picture missing: every other file is a link to the real one.
  const std::string root = supporttest::makeTempDir("shot-nowood");
  ASSERT_EQ(mkdir((root + "/data").c_str(), 0700), 0);
  DIR* data = opendir((supporttest::dataRoot() + "/data").c_str());
  ASSERT_NE(data, nullptr);
  while (const dirent* entry = readdir(data)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || name == "wood1.bmp") continue;
    ASSERT_EQ(symlink((supporttest::dataRoot() + "/data/" + name).c_str(), (root + "/data/" + name).c_str()), 0);
  }
  closedir(data);
  const RunResult result = runShot({"--root", root, root + "/shot.png"}, supporttest::dataRoot());
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitStatus, 1) << result.output;
  EXPECT_NE(result.output.find("velmora-shot: scene picture data/wood1.bmp not used: no such file; drawn untextured: "
                               "the bench seats\n"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("velmora-shot: 1 scene picture could not be used (see above); " + root +
                               "/shot.png not written\n"),
            std::string::npos)
      << result.output;
  EXPECT_NE(access((root + "/shot.png").c_str(), F_OK), 0) << "a shot without its wood texture was written";
  std::filesystem::remove_all(root);  // the links, not what they point to
}

}  // namespace
