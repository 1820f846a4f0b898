// velmora-shot's command line: what each option sets, and the refusals.
#include <gtest/gtest.h>

#include "app/menu.h"
#include "tools/shot/shot_options.h"

namespace {

bool parse(const std::vector<std::string>& args, ShotOptions* options, std::string* error) {
  return parseShotOptions(args, options, error);
}

TEST(ShotOptions, DefaultsAreTheProgramsFirstFrame) {
  ShotOptions options;
  std::string error;
  ASSERT_TRUE(parse({"out.png"}, &options, &error)) << error;
  EXPECT_EQ(options.output, "out.png");
  EXPECT_EQ(options.width, 1300);
  EXPECT_EQ(options.height, 1000);
  EXPECT_EQ(options.scale, 1);
  EXPECT_EQ(options.steps, 0);
  EXPECT_EQ(options.frames, 1);
  EXPECT_FALSE(options.curveParam);
  EXPECT_FALSE(options.spinAngle);
  EXPECT_FALSE(options.sunAngle);
  EXPECT_TRUE(options.actions.empty());
}

TEST(ShotOptions, ViewsBecomeTheMenusCameraCommands) {
  struct Case {
    const char* view;
    std::vector<int> commands;
  };
  const Case cases[] = {
      {"start", {CMD_BACK_TO_START, CMD_FREE_MOVEMENT}},
      {"bench", {CMD_BENCH_VIEW}},
      {"car", {CMD_CAR_VIEW}},
      {"free", {CMD_FREE_MOVEMENT}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    ShotOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--view", c.view, "x.png"}, &options, &error)) << error;
    ASSERT_EQ(options.actions.size(), c.commands.size());
    for (size_t i = 0; i < c.commands.size(); ++i) {
      EXPECT_EQ(options.actions[i].kind, ShotAction::Kind::COMMAND);
      EXPECT_EQ(options.actions[i].command, c.commands[i]);
    }
  }
}

TEST(ShotOptions, SwitchesKeepTheirCommandLineOrder) {
  ShotOptions options;
  std::string error;
  ASSERT_TRUE(parse({"--headlight", "on", "--sun", "off", "--kart-lights", "off", "--drive", "on", "--pose",
                     "1.5,-2,-66,10", "x.png"},
                    &options, &error))
      << error;
  ASSERT_EQ(options.actions.size(), 5u);
  EXPECT_EQ(options.actions[0].which, ShotSwitch::HEADLIGHT);
  EXPECT_TRUE(options.actions[0].on);
  EXPECT_EQ(options.actions[1].which, ShotSwitch::SUN);
  EXPECT_FALSE(options.actions[1].on);
  EXPECT_EQ(options.actions[2].which, ShotSwitch::KART_LIGHTS);
  EXPECT_EQ(options.actions[3].which, ShotSwitch::DRIVE);
  EXPECT_EQ(options.actions[4].kind, ShotAction::Kind::POSE);
  EXPECT_DOUBLE_EQ(options.actions[4].x, 1.5);
  EXPECT_DOUBLE_EQ(options.actions[4].z, -2);
  EXPECT_DOUBLE_EQ(options.actions[4].yaw, -66);
  EXPECT_DOUBLE_EQ(options.actions[4].pitch, 10);
}

TEST(ShotOptions, NumbersAndPicture) {
  ShotOptions options;
  std::string error;
  ASSERT_TRUE(parse({"--curve", "7.5", "--spin", "360", "--sun-angle", "0", "--steps", "3", "--frames", "90",
                     "--size", "640x480", "--scale", "4", "--root", "/some/where", "x.png"},
                    &options, &error))
      << error;
  EXPECT_FLOAT_EQ(*options.curveParam, 7.5f);
  EXPECT_DOUBLE_EQ(*options.spinAngle, 360);
  EXPECT_DOUBLE_EQ(*options.sunAngle, 0);
  EXPECT_EQ(options.steps, 3);
  EXPECT_EQ(options.frames, 90);
  EXPECT_EQ(options.width, 640);
  EXPECT_EQ(options.height, 480);
  EXPECT_EQ(options.scale, 4);
  EXPECT_EQ(options.root, "/some/where");
}

TEST(ShotOptions, RefusesWhatCannotBeShot) {
  const std::vector<std::vector<std::string>> refused = {
      {},                                    // no output
      {"a.png", "b.png"},                    // two outputs
      {"--view", "top", "x.png"},            // no such view
      {"--sun", "yes", "x.png"},             // on or off only
      {"--curve", "8", "x.png"},             // one lap is [0, 8)
      {"--curve", "-0.1", "x.png"},
      {"--spin", "361", "x.png"},
      {"--pose", "1,2,3", "x.png"},          // four numbers
      {"--pose", "1,2,3,4,5", "x.png"},
      {"--pose", "0,5,-90,80", "x.png"},     // pitch beyond 75
      {"--pose", "0,5,-400,0", "x.png"},     // yaw beyond 360
      {"--frames", "0", "x.png"},            // the shot is a frame
      {"--steps", "-1", "x.png"},
      {"--size", "1300", "x.png"},
      {"--size", "8x8", "x.png"},
      {"--scale", "0", "x.png"},
      {"--size", "50x50", "--scale", "64", "x.png"},  // nothing left
      {"--frames", "2x", "x.png"},
      {"--bogus", "1", "x.png"},
      {"x.png", "--sun"},                    // option without its value
  };
  for (const auto& args : refused) {
    std::string line;
    for (const std::string& a : args) line += a + " ";
    SCOPED_TRACE(line);
    ShotOptions options;
    std::string error;
    EXPECT_FALSE(parse(args, &options, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(ShotOptions, HelpNeedsNoOutput) {
  ShotOptions options;
  std::string error;
  ASSERT_TRUE(parse({"--help"}, &options, &error)) << error;
  EXPECT_TRUE(options.help);
}

}  // namespace
