// The shared command-line parser: both forms of a value, the order options
// apply in, operands, and the reason given for each kind of mistake.
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = ParsedCommandLine::Kind;

// A tool with a flag, a count, an optional count and a word, recording what it was given.
struct Recorder {
  std::vector<std::string> applied;
  int frames = 0;
  int soak = 0;
  CommandLine line{"velmora-test", "Usage: velmora-test\n"};

  Recorder() {
    line.flag("--quick", [this] { applied.push_back("quick"); });
    line.option("--frames", [this](const std::string& value) {
      applied.push_back("frames " + value);
      return countInto(&frames, 1, 100)(value);
    });
    line.optionalValue("--soak", countInto(&soak, 1, 1000, "a frame count"), [this] { soak = 500; });
    line.option("--only", [this](const std::string& value) -> std::string {
      applied.push_back("only " + value);
      return value == "obj" || value == "frame" ? "" : "takes frame or obj";
    });
  }
};

TEST(CommandLineParse, AcceptedCommandLines) {
  struct Case {
    std::vector<std::string> args;
    Kind kind;
    std::vector<std::string> applied;
    std::vector<std::string> operands;
    int frames, soak;
  };
  const Case cases[] = {
      {{"--frames", "7"}, Kind::RUN, {"frames 7"}, {}, 7, 0},
      {{"--frames=7"}, Kind::RUN, {"frames 7"}, {}, 7, 0},
      {{"--only", "obj", "--quick", "--frames", "3"}, Kind::RUN, {"only obj", "quick", "frames 3"}, {}, 3, 0},
      {{"a.obj", "--quick", "b.obj"}, Kind::RUN, {"quick"}, {"a.obj", "b.obj"}, 0, 0},
      {{"--", "--quick", "-"}, Kind::RUN, {}, {"--quick", "-"}, 0, 0},
      {{"-"}, Kind::RUN, {}, {"-"}, 0, 0},
      {{"--soak"}, Kind::RUN, {}, {}, 0, 500},
      {{"--soak", "9"}, Kind::RUN, {}, {}, 0, 9},
      {{"--soak=9"}, Kind::RUN, {}, {}, 0, 9},
      {{"--soak", "--quick"}, Kind::RUN, {"quick"}, {}, 0, 500},
      {{"--frames", "+5"}, Kind::RUN, {"frames +5"}, {}, 5, 0},
      {{"--quick", "--help", "--bogus"}, Kind::HELP, {"quick"}, {}, 0, 0},
      {{"-h"}, Kind::HELP, {}, {}, 0, 0},
      {{"--version", "x"}, Kind::VERSION, {}, {}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Recorder tool;
    const ParsedCommandLine parsed = tool.line.parse(c.args);
    EXPECT_EQ(parsed.kind, c.kind) << parsed.mistake;
    EXPECT_EQ(tool.applied, c.applied);
    EXPECT_EQ(parsed.operands, c.operands);
    EXPECT_EQ(tool.frames, c.frames);
    EXPECT_EQ(tool.soak, c.soak);
  }
}

TEST(CommandLineParse, EachMistakeNamesWhatIsWrong) {
  const struct {
    std::vector<std::string> args;
    const char* mistake;
  } cases[] = {
      {{"--bogus"}, "unknown option \"--bogus\""},
      {{"--bogus=3"}, "unknown option \"--bogus\""},
      {{"-q"}, "unknown option \"-q\""},
      {{"--frame", "3"}, "unknown option \"--frame\""},  // no guessing from a prefix
      {{"--frames"}, "--frames needs a value"},
      {{"--quick=yes"}, "--quick takes no value"},
      {{"--help=1"}, "--help takes no value"},
      {{"--frames", "abc"}, "--frames takes a count 1..100, not \"abc\""},
      {{"--frames=12abc"}, "--frames takes a count 1..100, not \"12abc\""},
      {{"--frames", " 5"}, "--frames takes a count 1..100, not \" 5\""},
      {{"--frames", "0"}, "--frames takes a count 1..100, not \"0\""},
      {{"--frames", "101"}, "--frames takes a count 1..100, not \"101\""},
      {{"--frames", "99999999999999999999"}, "--frames takes a count 1..100, not \"99999999999999999999\""},
      {{"--frames", ""}, "--frames takes a count 1..100, not \"\""},
      {{"--soak", "abc"}, "--soak takes a frame count 1..1000, not \"abc\""},
      {{"--only", "bogus"}, "--only takes frame or obj, not \"bogus\""},
      {{"--only", "\x1b[31m\xff"}, "--only takes frame or obj, not \"\\x1b[31m\\xff\""},
      {{"--quick", "--frames", "5", "--oops", "--help"}, "unknown option \"--oops\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Recorder tool;
    const ParsedCommandLine parsed = tool.line.parse(c.args);
    EXPECT_EQ(parsed.kind, Kind::MISTAKE);
    EXPECT_EQ(parsed.mistake, c.mistake);
  }
}

TEST(CommandLineParse, NumbersAreWholeAndInRange) {
  const struct {
    const char* text;
    bool whole, decimal;
    double value;
  } cases[] = {
      {"42", true, true, 42},   {"-3", true, true, -3},      {"2.5", false, true, 2.5},
      {".5", false, true, 0.5}, {"1e2", false, true, 100},   {"1e999", false, false, 0},
      {"nan", false, false, 0}, {"inf", false, false, 0},    {"0x10", false, true, 16},
      {"7 ", false, false, 0},  {"\t7", false, false, 0},    {"", false, false, 0},
      {"1000", false, false, 0}, {"-1001", false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int whole = -99;
    double decimal = -99;
    EXPECT_EQ(parseWholeNumber(c.text, -1000, 999, &whole), c.whole);
    EXPECT_EQ(parseDecimal(c.text, -1000, 999, &decimal), c.decimal);
    // A refused number leaves its target alone.
    EXPECT_EQ(whole, c.whole ? static_cast<int>(c.value) : -99);
    EXPECT_DOUBLE_EQ(decimal, c.decimal ? c.value : -99);
  }
}

}  // namespace
