// The generator's output as a whole: every file the scene reads is there, two runs
// give the same bytes, and a run over a used data folder renews only its own files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "datagen/file_store.h"
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

void putText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The manifest as if the generator had written `bytes` to `file` last time:
// what an older generator leaves behind.
void recordAsGenerated(const std::string& dir, const std::string& file, const std::string& bytes) {
  const std::string path = dir + "/" + datagen::MANIFEST_NAME;
  datagen::Manifest manifest = datagen::parseManifest(datagentest::readText(path));
  manifest[file] = datagen::recordOf(datagen::toBytes(bytes));
  putText(path, datagen::manifestText(manifest));
}

// A run over a data folder a person and earlier generators have been at: what
// the generator made is brought up to date, what a person put there is kept
// with a line that names it, and a write that fails leaves the old file.
TEST(GeneratedFiles, APersonsFileIsKeptAndTheGeneratorsAreRenewed) {
  const std::string mine = "a picture of my own", older = "what an older generator made";
  const auto mineOnly = [&](const std::string& dir) { putText(dir + "/wood1.bmp", mine); };
  // wood1.bmp holding `bytes`, where the manifest says the generator last wrote an older picture.
  const auto over = [&](const std::string& bytes) {
    return [&, bytes](const std::string& dir) {
      putText(dir + "/wood1.bmp", bytes);
      recordAsGenerated(dir, "wood1.bmp", older);
    };
  };
  const std::string keptLine = "velmora-datagen: kept DIR/wood1.bmp, changed since it was generated; delete it or "
                               "run velmora-datagen --force to get the generated one back\n";
  const struct {
    const char* what;
    std::function<void(const std::string& dir)> arrange;
    const char* options;
    const char* setup;
    int status;
    const char* summary;  // in the output; empty: the run fails
    bool mineKept;        // wood1.bmp still holds the person's picture
  } cases[] = {
      {"a person's picture", mineOnly, "", "", 0, " 0 written, 1 kept", true},
      {"a person's picture after the generator changed", over(mine), "", "", 0, " 0 written, 1 kept", true},
      {"an older generator's picture", over(older), "", "", 0, " 1 written, 0 kept", false},
      {"a deleted picture", [](const std::string& dir) { std::filesystem::remove(dir + "/wood1.bmp"); }, "", "",
       0, " 1 written, 0 kept", false},
      {"a person's picture, forced", mineOnly, "--force", "", 0, " 1 written, 0 kept", false},
      // The manifest (about 1 KB) fits the stream's buffer: its write fails
      // only when flushed at the close, past the 512-byte limit.
      {"the manifest's write failing at the close", over(mine), "--quiet", "trap '' XFSZ; ulimit -f 1;", 1, "",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string dir = supporttest::makeTempDir("datagen-person");
    std::filesystem::copy(generatedDir(), dir, std::filesystem::copy_options::recursive);
    c.arrange(dir);
    const std::string manifestBefore = datagentest::readText(dir + "/" + datagen::MANIFEST_NAME);
    std::map<std::string, timespec> before;
    for (const auto& [name, bytes] : allFiles(dir)) {
      struct stat info {};
      ASSERT_EQ(stat((dir + "/" + name).c_str(), &info), 0);
      before[name] = info.st_mtim;
    }
    std::string output;
    EXPECT_EQ(datagentest::runGenerator(dir, output, c.options, c.setup), c.status) << output;
    std::string line = keptLine;
    line.replace(line.find("DIR"), 3, dir);
    EXPECT_EQ(output.find(line) != std::string::npos, c.mineKept) << output;
    EXPECT_EQ(datagentest::readText(dir + "/wood1.bmp") == mine, c.mineKept);
    if (!c.mineKept) {
      EXPECT_EQ(datagentest::readText(dir + "/wood1.bmp"), datagentest::readText(generatedDir() + "/wood1.bmp"));
    }
    if (c.status == 0) {
      EXPECT_NE(output.find(c.summary), std::string::npos) << output;
    } else {
      EXPECT_NE(output.find("velmora-datagen: cannot write " + dir + "/" + datagen::MANIFEST_NAME +
                            ": larger than a file may grow here"),
                std::string::npos)
          << output;
      EXPECT_EQ(datagentest::readText(dir + "/" + datagen::MANIFEST_NAME), manifestBefore);
    }
    // Nothing else was touched, and no temporary file is left.
    EXPECT_EQ(allFiles(dir).size(), allFiles(generatedDir()).size());
    for (const auto& [name, stamp] : before) {
      if (name == "wood1.bmp" || name == datagen::MANIFEST_NAME) continue;
      struct stat info {};
      ASSERT_EQ(stat((dir + "/" + name).c_str(), &info), 0) << name;
      EXPECT_TRUE(info.st_mtim.tv_sec == stamp.tv_sec && info.st_mtim.tv_nsec == stamp.tv_nsec)
          << name << " was rewritten";
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
