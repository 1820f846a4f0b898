// The generator's output as a whole: every file the scene reads is there, two runs
// give the same bytes, and a run over unchanged files leaves them untouched.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "tests/datagen/generated_data.h"
#include "tests/datagen/test_readers.h"
#include "tests/support/test_paths.h"

namespace {

using datagentest::generatedDir;

// The scene's own file names: 18 textures and two models.
const char* const SCENE_FILES[] = {
    "skybox/pos_z.bmp", "skybox/neg_z.bmp", "skybox/pos_x.bmp",  "skybox/neg_x.bmp", "skybox/pos_y.bmp",
    "skybox/neg_y.bmp", "wood1.bmp",        "concrete.bmp",      "cactus1.tga",      "cactus2.tga",
    "cactus3.tga",      "cactus4.tga",      "cactus5.tga",       "cactus6.tga",      "cactus7.tga",
    "cactus8.tga",      "cactus9.tga",      "cactus10.tga",      "models/go-carts/GO-CART-BLUE.obj",
    "models/grass/trava.obj"};

std::map<std::string, std::vector<uint8_t>> allFiles(const std::string& dir) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) {
      files[std::filesystem::relative(entry.path(), dir).string()] = datagentest::readFile(entry.path().string());
    }
  }
  return files;
}

TEST(GeneratedFiles, EverySceneFileExistsAndIsNotEmpty) {
  for (const char* name : SCENE_FILES) {
    std::error_code error;
    auto size = std::filesystem::file_size(generatedDir() + "/" + name, error);
    EXPECT_FALSE(error) << name << " is missing";
    EXPECT_GT(size, 18u) << name;
  }
}

TEST(GeneratedFiles, ModelLibrariesAndTheirTexturesSitBesideTheModels) {
  for (const char* model : {"models/go-carts/GO-CART-BLUE.obj", "models/grass/trava.obj"}) {
    std::string folder = std::filesystem::path(std::string(model)).parent_path().string() + "/";
    datagentest::ObjFile obj = datagentest::parseObj(datagentest::readText(generatedDir() + "/" + model));
    ASSERT_EQ(obj.materialLibraries.size(), 1u) << model;
    std::string mtl = generatedDir() + "/" + folder + obj.materialLibraries[0];
    ASSERT_TRUE(std::filesystem::exists(mtl)) << mtl;
    std::vector<std::string> problems;
    for (const auto& [name, material] : datagentest::parseMtl(datagentest::readText(mtl), problems)) {
      if (!material.mapKd.empty()) {
        EXPECT_TRUE(std::filesystem::exists(generatedDir() + "/" + folder + material.mapKd)) << material.mapKd;
      }
    }
  }
}

TEST(GeneratedFiles, TwoRunsGiveIdenticalBytes) {
  std::string second = supporttest::makeTempDir("datagen-again"), output;
  ASSERT_EQ(datagentest::runGenerator(second, output), 0) << output;
  auto first = allFiles(generatedDir()), again = allFiles(second);
  ASSERT_EQ(first.size(), again.size());
  for (const auto& [name, bytes] : first) {
    ASSERT_TRUE(again.count(name)) << name << " missing from the second run";
    EXPECT_TRUE(bytes == again[name]) << name << " differs between runs";
  }
}

TEST(GeneratedFiles, RunOverUnchangedFilesRewritesNothing) {
  std::string dir = supporttest::makeTempDir("datagen-rerun"), output;
  ASSERT_EQ(datagentest::runGenerator(dir, output), 0) << output;
  std::map<std::string, timespec> before;
  for (const auto& [name, bytes] : allFiles(dir)) {
    struct stat info {};
    ASSERT_EQ(stat((dir + "/" + name).c_str(), &info), 0);
    before[name] = info.st_mtim;
  }
  // Damage one file: only it may be written again.
  std::filesystem::resize_file(dir + "/wood1.bmp", 100);
  ASSERT_EQ(datagentest::runGenerator(dir, output), 0) << output;
  EXPECT_NE(output.find(" 1 written"), std::string::npos) << output;
  for (const auto& [name, stamp] : before) {
    struct stat info {};
    ASSERT_EQ(stat((dir + "/" + name).c_str(), &info), 0);
    bool same = info.st_mtim.tv_sec == stamp.tv_sec && info.st_mtim.tv_nsec == stamp.tv_nsec;
    if (name == "wood1.bmp") {
      EXPECT_EQ(std::filesystem::file_size(dir + "/" + name),
                datagentest::readFile(generatedDir() + "/wood1.bmp").size());
    } else {
      EXPECT_TRUE(same) << name << " was rewritten";
    }
  }
}

TEST(GeneratedFiles, UnknownOptionIsRefusedInOneLine) {
  std::string output;
  std::string command = std::string("'") + VELMORA_DATAGEN_EXE + "' --frobnicate 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
  int status = pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(output, "velmora-datagen: unknown option \"--frobnicate\"; try --help\n");
}

}  // namespace
