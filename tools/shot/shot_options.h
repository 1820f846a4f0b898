// velmora-shot's command line: which camera, lights, animation state and
// number of frames a picture of the scene is taken with, and where it goes.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The scene's on/off settings a shot can ask for, each reached through the
// menu command a person would choose.
enum class ShotSwitch { SUN, SUN_MOVING, COLOR_CHANGE, HEADLIGHT, KART_LIGHTS, GYRATION, DRIVE };

// One step of setting the scene up, applied in command-line order.
struct ShotAction {
  enum class Kind { SWITCH, COMMAND, POSE };
  Kind kind = Kind::COMMAND;
  ShotSwitch which = ShotSwitch::SUN;  // SWITCH: the setting ...
  bool on = false;                     // ... and the state wanted; its command runs only when the state differs
  int command = 0;                     // COMMAND: a menu item id, run as the menu runs it
  double x = 0, z = 0, yaw = 0, pitch = 0;  // POSE: the free camera at (x, 0, z), leaving car view
};

struct ShotOptions {
  std::string output;
  std::string root;  // folder holding data/; empty: the current folder, else the installed one
  int width = 1300;  // the program's window size
  int height = 1000;
  int scale = 1;     // box filter factor applied to the rendered picture
  int steps = 0;     // idle steps before the first frame
  int frames = 1;    // frames drawn as the main loop draws them; the last one is the shot
  std::optional<float> curveParam;
  std::optional<double> spinAngle;
  std::optional<double> sunAngle;
  std::vector<ShotAction> actions;
  bool help = false;     // --help: print the usage, take no shot
  bool version = false;  // --version
};

extern const char* const SHOT_USAGE;

// Parses the arguments after the program name. Returns false with `error`
// set to a one-line reason (without the program's name) when they are not a
// valid command line.
bool parseShotOptions(const std::vector<std::string>& args, ShotOptions* options, std::string* error);
