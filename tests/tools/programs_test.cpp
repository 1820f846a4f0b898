// The command-line convention, held for every program a user runs at once:
// --help and --version answer on stdout with status 0 and need no display; an
// unknown option or a bad number is one line on stderr that names it and
// says "try --help", status 2.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/process.h"
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

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs it the way a terminal without X would, in an empty folder (no data/).
Answer run(const std::string& path, const std::vector<std::string>& args, const std::string& folder) {
  ProcessSpec launch;
  launch.argv = {path};
  launch.argv.insert(launch.argv.end(), args.begin(), args.end());
  launch.workingDir = folder;
  launch.unsetEnv = {"DISPLAY"};
  launch.errorFile = folder + "/stderr.txt";
  const RunResult result = runProcess(launch, 60);
  Answer answer;
  answer.status = result.finished ? result.exitStatus : -1;
  answer.out = result.output;
  answer.err = slurp(launch.errorFile);
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

}  // namespace
