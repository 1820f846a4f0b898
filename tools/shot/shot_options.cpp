// velmora-shot's command line.
#include "tools/shot/shot_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "app/menu.h"

const char* const SHOT_USAGE =
    "Usage: velmora-shot [OPTIONS] OUTPUT.png\n"
    "Renders the Velmora scene offscreen, through the program's own start-up and frame\n"
    "code, and writes one frame as a PNG file. Run it where data/ is (the project root),\n"
    "or pass --root; an installed velmora-shot finds the installed data by itself.\n"
    "Without an X display it runs itself under xvfb-run.\n"
    "\n"
    "Camera (in the order given, like the menu's Camera entries):\n"
    "  --view start|bench|car|free   start pose, bench pose, car view, or back to the free camera\n"
    "  --pose X,Z,YAW,PITCH          free camera at (X, 0, Z), eye 0.5 higher, angles in degrees\n"
    "                                (yaw -90 looks along -z; pitch within -75..75)\n"
    "Lights and animations, each on|off (in the order given, like the menu's toggles;\n"
    "the global ambient follows whichever of --sun and --headlight changed last):\n"
    "  --sun  --sun-moving  --color-change  --headlight  --kart-lights\n"
    "  --gyration (the circling kart)  --drive (the kart on the curve)\n"
    "Animation state, set before the steps:\n"
    "  --curve T          curve kart's parameter, 0 <= T < 8 (one lap)\n"
    "  --spin DEG         circling kart's angle, 0..360\n"
    "  --sun-angle DEG    sun angle, 0..360 (moving sun and colour change follow it)\n"
    "  --steps N          idle steps before the first frame (default 0)\n"
    "  --frames N         frames drawn, each after one idle step but the first (default 1);\n"
    "                     the signboard and the curve kart's turns advance once per frame\n"
    "Picture:\n"
    "  --size WxH         render size (default 1300x1000, the window's)\n"
    "  --scale K          shrink by K with a K x K box filter\n"
    "  --root DIR         folder that holds data/\n"
    "  --help\n"
    "Start-up state: start pose, sun and kart lights on, headlight off, circling kart\n"
    "turning, curve kart standing at the start of its lap.\n";

namespace {

bool parseDouble(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool parseInt(const std::string& text, int* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < -1000000000L || v > 1000000000L) return false;
  *value = static_cast<int>(v);
  return true;
}

bool parseOnOff(const std::string& text, bool* on) {
  if (text == "on") {
    *on = true;
    return true;
  }
  if (text == "off") {
    *on = false;
    return true;
  }
  return false;
}

bool parsePose(const std::string& text, ShotAction* action) {
  double v[4];
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t comma = text.find(',', start);
    const bool last = i == 3;
    if (last != (comma == std::string::npos)) return false;
    if (!parseDouble(text.substr(start, last ? std::string::npos : comma - start), &v[i])) return false;
    start = comma + 1;
  }
  action->kind = ShotAction::Kind::POSE;
  action->x = v[0];
  action->z = v[1];
  action->yaw = v[2];
  action->pitch = v[3];
  return v[2] >= -360 && v[2] <= 360 && v[3] >= -75 && v[3] <= 75;
}

bool parseSize(const std::string& text, int* width, int* height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  return parseInt(text.substr(0, x), width) && parseInt(text.substr(x + 1), height) && *width >= 16 &&
         *height >= 16 && *width <= 8192 && *height <= 8192;
}

ShotAction commandAction(int id) {
  ShotAction action;
  action.kind = ShotAction::Kind::COMMAND;
  action.command = id;
  return action;
}

struct SwitchOption {
  const char* name;
  ShotSwitch which;
};

constexpr SwitchOption SWITCH_OPTIONS[] = {
    {"--sun", ShotSwitch::SUN},
    {"--sun-moving", ShotSwitch::SUN_MOVING},
    {"--color-change", ShotSwitch::COLOR_CHANGE},
    {"--headlight", ShotSwitch::HEADLIGHT},
    {"--kart-lights", ShotSwitch::KART_LIGHTS},
    {"--gyration", ShotSwitch::GYRATION},
    {"--drive", ShotSwitch::DRIVE},
};

}  // namespace

bool parseShotOptions(const std::vector<std::string>& args, ShotOptions* options, std::string* error) {
  ShotOptions result;
  auto fail = [error](const std::string& text) {
    *error = text;
    return false;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      result.help = true;
      continue;
    }
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (!result.output.empty()) return fail("more than one output file: " + result.output + " and " + arg);
      result.output = arg;
      continue;
    }
    if (i + 1 >= args.size()) return fail(arg + " needs a value");
    const std::string& value = args[++i];

    bool handled = false;
    for (const SwitchOption& option : SWITCH_OPTIONS) {
      if (arg != option.name) continue;
      ShotAction action;
      action.kind = ShotAction::Kind::SWITCH;
      action.which = option.which;
      if (!parseOnOff(value, &action.on)) return fail(arg + " takes on or off, not \"" + value + "\"");
      result.actions.push_back(action);
      handled = true;
    }
    if (handled) continue;

    if (arg == "--view") {
      // The start pose as a person gets it: "Back to start", then out of car view.
      if (value == "start") {
        result.actions.push_back(commandAction(CMD_BACK_TO_START));
        result.actions.push_back(commandAction(CMD_FREE_MOVEMENT));
      } else if (value == "bench") {
        result.actions.push_back(commandAction(CMD_BENCH_VIEW));
      } else if (value == "car") {
        result.actions.push_back(commandAction(CMD_CAR_VIEW));
      } else if (value == "free") {
        result.actions.push_back(commandAction(CMD_FREE_MOVEMENT));
      } else {
        return fail("--view takes start, bench, car or free, not \"" + value + "\"");
      }
    } else if (arg == "--pose") {
      ShotAction action;
      if (!parsePose(value, &action))
        return fail("--pose takes X,Z,YAW,PITCH with yaw in -360..360 and pitch in -75..75, not \"" + value + "\"");
      result.actions.push_back(action);
    } else if (arg == "--curve") {
      double t;
      if (!parseDouble(value, &t) || t < 0 || t >= 8) return fail("--curve takes a number 0 <= T < 8");
      result.curveParam = static_cast<float>(t);
    } else if (arg == "--spin" || arg == "--sun-angle") {
      double angle;
      if (!parseDouble(value, &angle) || angle < 0 || angle > 360) return fail(arg + " takes degrees 0..360");
      (arg == "--spin" ? result.spinAngle : result.sunAngle) = angle;
    } else if (arg == "--steps") {
      if (!parseInt(value, &result.steps) || result.steps < 0 || result.steps > 1000000)
        return fail("--steps takes a count 0..1000000");
    } else if (arg == "--frames") {
      if (!parseInt(value, &result.frames) || result.frames < 1 || result.frames > 100000)
        return fail("--frames takes a count 1..100000");
    } else if (arg == "--size") {
      if (!parseSize(value, &result.width, &result.height))
        return fail("--size takes WxH, each 16..8192, not \"" + value + "\"");
    } else if (arg == "--scale") {
      if (!parseInt(value, &result.scale) || result.scale < 1 || result.scale > 64)
        return fail("--scale takes a factor 1..64");
    } else if (arg == "--root") {
      result.root = value;
    } else {
      return fail("unknown option " + arg);
    }
  }
  if (!result.help) {
    if (result.output.empty()) return fail("no output file given");
    if (result.width / result.scale < 1 || result.height / result.scale < 1)
      return fail("--scale is larger than the picture");
  }
  *options = result;
  return true;
}
