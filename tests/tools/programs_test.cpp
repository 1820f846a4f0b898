// The command-line convention, held for every program a user runs at once:
// --help and --version answer on stdout with status 0 and need no display; an
// unknown option or a bad number is one line on stderr that names it and
// says "try --help", status 2; a name of any length is echoed short. The
// programs that write pictures leave a file, a device or a pipe given as their
// output as it was whenever the write fails.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/process.h"
#include "tests/e2e/x_session.h"
#include "tests/support/test_paths.h"

namespace {

using e2etest::ProcessSpec;
using e2etest::RunResult;
using e2etest::runProcess;


struct Program {
  std::string name;
  std::string path;
  bool ownOptions;                     // refuses options it does not know
  std::vector<std::string> badNumber;  // a command line with one bad number; empty: it takes none
  std::string numberOption;            // the option that refusal names
};

std::vector<Program> programs() {
  std::vector<Program> list = {
      {"velmora", VELMORA_PROGRAM, true, {}, ""},
      {"velmora-shot", VELMORA_SHOT, true, {"--frames", "12abc", "x.png"}, "--frames"},
      {"velmora-inspect", VELMORA_INSPECT, true, {"--turntable", "12abc", "x.obj"}, "--turntable"},
      {"velmora-grab", VELMORA_GRAB, true, {"--wait=soon", "x.png"}, "--wait"},
      {"velmora-datagen", VELMORA_DATAGEN, true, {}, ""},
      {"velmora-datagen-preview", VELMORA_DATAGEN_PREVIEW, true, {}, ""},
  };
  // The benchmark is built only with VELMORA_BENCH; "--soak abc" used to run the whole benchmark.
  if (*VELMORA_BENCH_PROGRAM)
    list.push_back({"velmora-bench", VELMORA_BENCH_PROGRAM, true, {"--soak", "abc"}, "--soak"});
  return list;
}

struct Answer {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs it the way a terminal without X would (or on `display`), in an empty folder (no data/).
Answer run(const std::string& path, const std::vector<std::string>& args, const std::string& folder,
           const std::string& display = "") {
  ProcessSpec launch;
  launch.argv = {path};
  launch.argv.insert(launch.argv.end(), args.begin(), args.end());
  launch.workingDir = folder;
  if (display.empty()) {
    launch.unsetEnv = {"DISPLAY"};
  } else {
    launch.setEnv = {{"DISPLAY", display}, {"ASAN_OPTIONS", "detect_leaks=0"}};
  }
  launch.errorFile = folder + "/stderr.txt";
  const RunResult result = runProcess(launch, 60);
  Answer answer;
  answer.status = result.finished ? result.exitStatus : -1;
  answer.out = result.output;
  answer.err = supporttest::readFile(launch.errorFile);
  unlink(launch.errorFile.c_str());
  return answer;
}

size_t lines(const std::string& text) {
  size_t count = 0;
  for (char c : text) count += c == '\n';
  return count;
}

class Programs : public testing::Test {
 protected:
  void TearDown() override { rmdir(folder_.c_str()); }
  const std::string folder_ = supporttest::makeTempDir("programs");
};

TEST_F(Programs, HelpAndVersionAnswerWithoutADisplay) {
  for (const Program& p : programs()) {
    SCOPED_TRACE(p.name);
    const Answer help = run(p.path, {"--help"}, folder_);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out.rfind("Usage: " + p.name + " ", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    const Answer version = run(p.path, {"--version"}, folder_);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, p.name + " (Velmora) " + VELMORA_VERSION + "\n");
    EXPECT_EQ(version.err, "");
  }
}

TEST_F(Programs, UnknownOptionIsOneLineNamingIt) {
  for (const Program& p : programs()) {
    if (!p.ownOptions) continue;
    SCOPED_TRACE(p.name);
    for (const std::string option : {"--bogus", "--bogus=1", "-x"}) {
      const Answer answer = run(p.path, {option, "x.png"}, folder_);
      const std::string name = option.substr(0, option.find('='));
      EXPECT_EQ(answer.status, 2);
      EXPECT_EQ(answer.out, "");
      EXPECT_EQ(answer.err, p.name + ": unknown option \"" + name + "\"; try --help\n");
    }
  }
}

TEST_F(Programs, BadNumberIsOneLineNamingTheOptionAndTheValue) {
  for (const Program& p : programs()) {
    if (p.badNumber.empty()) continue;
    SCOPED_TRACE(p.name);
    const Answer answer = run(p.path, p.badNumber, folder_);
    EXPECT_EQ(answer.status, 2);
    EXPECT_EQ(answer.out, "");
    EXPECT_EQ(lines(answer.err), 1u) << answer.err;
    EXPECT_EQ(answer.err.rfind(p.name + ": " + p.numberOption + " takes ", 0), 0u) << answer.err;
    const std::string value = p.badNumber[0].find('=') != std::string::npos ? "soon" : p.badNumber[1];
    EXPECT_NE(answer.err.find("not \"" + value + "\"; try --help\n"), std::string::npos) << answer.err;
  }
}

TEST_F(Programs, RawBytesOfAnOptionAreShownEscaped) {
  const std::string option = "--\x1b[2J\xff";
  for (const Program& p : programs()) {
    if (!p.ownOptions) continue;
    SCOPED_TRACE(p.name);
    const Answer answer = run(p.path, {option}, folder_);
    EXPECT_EQ(answer.status, 2);
    EXPECT_EQ(answer.err, p.name + ": unknown option \"--\\x1b[2J\\xff\"; try --help\n");
  }
}

TEST_F(Programs, VelmoraRefusesAGlutOptionWithoutItsValueAndAStrayArgument) {
  struct Case {
    std::vector<std::string> args;
    std::string reason;
  };
  const Case cases[] = {
      {{"-display"}, "-display needs a value"},
      {{"-iconic", "-geometry"}, "-geometry needs a value"},
      {{"-geometry", "800x600", "scene"}, "unexpected argument \"scene\""},
      {{"-geometry", "+40+50"}, "-geometry takes a size WxH with an optional place +X+Y, not \"+40+50\""},
      {{"-geometry", "0x600"}, "-geometry takes a size WxH with an optional place +X+Y, not \"0x600\""},
      {{"-geometry", "80x60+1"}, "-geometry takes a size WxH with an optional place +X+Y, not \"80x60+1\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const Answer answer = run(VELMORA_PROGRAM, c.args, folder_);
    EXPECT_EQ(answer.status, 2);
    EXPECT_EQ(answer.out, "");
    EXPECT_EQ(answer.err, "velmora: " + c.reason + "; try --help\n");
  }
}

TEST_F(Programs, VelmoraWithoutDataSaysWhereItLookedBeforeAnyWindow) {
  // No DISPLAY: had it tried to open its window, GLUT would have said so instead.
  const Answer answer = run(VELMORA_PROGRAM, {}, folder_);
  EXPECT_EQ(answer.status, 1);
  EXPECT_EQ(answer.out, "");
  EXPECT_EQ(lines(answer.err), 1u) << answer.err;
  EXPECT_EQ(answer.err.rfind("velmora: no data/ folder in " + folder_ + "; ", 0), 0u) << answer.err;
  EXPECT_NE(answer.err.find("launcher"), std::string::npos) << answer.err;
}

// Before any window: a file where the folder should be is named, with status 1.
TEST_F(Programs, DatagenPreviewRefusesAFolderItCannotMake) {
  const std::string file = folder_ + "/a-file";
  ASSERT_TRUE(std::ofstream(file) << "x");
  const Answer answer = run(VELMORA_DATAGEN_PREVIEW, {file + "/pictures"}, folder_);
  std::remove(file.c_str());
  EXPECT_EQ(answer.status, 1);
  EXPECT_EQ(answer.err, "velmora-datagen-preview: cannot make the folder " + file +
                            "/pictures: a part of its path is not a folder; name a folder that can be written\n");
}

// One line per refusal, however long the name: the name is cut, with its length.
TEST_F(Programs, AHundredThousandCharacterArgumentGivesShortLines) {
  const std::string longName(100000, 'n');
  const std::string option = "--" + longName;
  struct Case {
    std::string program;
    std::vector<std::string> args;
    int status;
    size_t lines;  // on stdout and stderr together
  };
  std::vector<Case> cases = {
      {VELMORA_PROGRAM, {longName}, 2, 1},
      {VELMORA_SHOT, {longName + ".png"}, 1, 1},
      {VELMORA_SHOT, {"missing/" + longName + ".png"}, 1, 1},
      {VELMORA_GRAB, {longName + ".png"}, 1, 1},
      {VELMORA_DATAGEN, {"--out", longName}, 1, 1},
      {VELMORA_DATAGEN, {"--out", "x", longName}, 2, 1},
      {VELMORA_DATAGEN_PREVIEW, {longName}, 1, 1},
      // The file's name heads its report, then the reader's message, its
      // reason and the verdict: each name as short as the one above.
      {VELMORA_INSPECT, {longName + ".obj"}, 1, 4},
      {VELMORA_INSPECT, {longName + ".tga"}, 1, 2},
  };
  for (const Program& p : programs()) cases.push_back({p.path, {option}, 2, 1});
  if (*VELMORA_BENCH_PROGRAM) cases.push_back({VELMORA_BENCH_PROGRAM, {longName}, 2, 1});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + " " + c.args.back().substr(0, 20));
    const Answer answer = run(c.program, c.args, folder_);
    EXPECT_EQ(answer.status, c.status) << answer.err;
    const std::string all = answer.out + answer.err;
    EXPECT_EQ(lines(all), c.lines) << all.substr(0, 2000);
    std::istringstream text(all);
    for (std::string line; std::getline(text, line);) EXPECT_LE(line.size(), 300u) << line.substr(0, 400);
    EXPECT_NE(all.find(" bytes)"), std::string::npos) << all.substr(0, 400);
  }
}

// velmora-shot and velmora-grab writing to a device, a pipe and over a
// picture, under a private X server. A write that fails leaves what was there.
class OutputTargets : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(server_.start(320, 240, &error)) << error;
  }
  void TearDown() override { server_.stop(); }

  // The program writing `output`, after the shell `setup` (a file size limit).
  Answer write(const std::string& program, const std::string& output, const std::string& setup) {
    std::vector<std::string> args = {"-c", setup + " exec \"$@\"", "sh", program};
    if (program == VELMORA_SHOT) args.insert(args.end(), {"--size", "320x240", "--root", supporttest::dataRoot()});
    args.push_back(output);
    return run("sh", args, folder_ + "/..", server_.displayName());
  }

  e2etest::XvfbServer server_;
  const std::string folder_ = supporttest::makeTempDir("targets") + "/out";
};

TEST_F(OutputTargets, WhatWasThereStaysWhateverTheWriteMeets) {
  const std::string earlier = "an earlier picture";
  const auto picture = [&](const std::string& path) { return bool(std::ofstream(path) << earlier); };
  const struct {
    const char* what;
    const char* name;
    std::function<bool(const std::string& path)> make;  // false: skipped here
    const char* setup;
    int status;
    const char* reason;  // in the message; empty: written
    bool shotOnly;       // a screenshot of an empty screen is too small for the limit
  } cases[] = {
      {"a full device", "full",
       [](const std::string& path) { return mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 7)) == 0; }, "", 1,
       ": no space left on the device; ", false},
      {"a pipe", "pipe", [](const std::string& path) { return mkfifo(path.c_str(), 0600) == 0; }, "", 0, "", false},
      {"a picture and a full disk", "shot.png", picture, "trap '' XFSZ; ulimit -f 1;", 1,
       ": larger than a file may grow here", true},
      {"a picture", "shot.png", picture, "", 0, "", false},
      {"a missing folder", "missing/shot.png", [](const std::string&) { return true; }, "", 1,
       ": its folder does not exist; name a file in a folder that can be written", false},
  };
  for (const char* program : {VELMORA_SHOT, VELMORA_GRAB}) {
    for (const auto& c : cases) {
      if (c.shotOnly && program != std::string(VELMORA_SHOT)) continue;
      SCOPED_TRACE(std::string(program) + ", " + c.what);
      ASSERT_TRUE(std::filesystem::create_directory(folder_));
      const std::string path = folder_ + "/" + c.name;
      if (!c.make(path)) {
        const int error = errno;
        std::filesystem::remove_all(folder_);
        if (error == EPERM) {  // no mknod where devices are not permitted: only that row is left out
          std::printf("[  SKIPPED ] %s for %s: mknod is not permitted here\n", c.what, program);
          continue;
        }
        FAIL() << "cannot make " << path << ": " << std::strerror(error);
      }
      struct stat made {};
      const bool existed = lstat(path.c_str(), &made) == 0;
      std::string piped;
      std::thread reader;
      if (S_ISFIFO(made.st_mode)) reader = std::thread([&] { piped = supporttest::readFile(path); });
      const Answer answer = write(program, path, c.setup);
      if (reader.joinable()) {
        // A reader still waiting for a writer that never came sees the end.
        const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
        reader.join();
      }
      EXPECT_EQ(answer.status, c.status) << answer.err;
      if (*c.reason) {
        EXPECT_NE(answer.err.find("cannot write " + path + c.reason), std::string::npos) << answer.err;
        if (program == std::string(VELMORA_SHOT)) {
          EXPECT_EQ(answer.err.find("Loaded texture") == std::string::npos, !existed)
              << "a missing folder is found before anything is rendered";
        }
      }
      struct stat after {};
      EXPECT_EQ(lstat(path.c_str(), &after) == 0, existed || c.status == 0);
      if (existed) {
        EXPECT_EQ(after.st_mode & S_IFMT, made.st_mode & S_IFMT) << "the target was replaced";
        EXPECT_EQ(after.st_rdev, made.st_rdev);
      }
      const std::string png = S_ISFIFO(made.st_mode) ? piped : existed && S_ISCHR(made.st_mode) ? "" : supporttest::readFile(path);
      if (c.status == 0) {
        EXPECT_EQ(png.substr(0, 4), "\x89PNG");
      } else if (existed && S_ISREG(made.st_mode)) {
        EXPECT_EQ(png, earlier);
      }
      EXPECT_EQ(supporttest::entriesIn(folder_), existed ? 1u : 0u) << "a temporary file was left behind";
      std::filesystem::remove_all(folder_);
    }
  }
}

}  // namespace
