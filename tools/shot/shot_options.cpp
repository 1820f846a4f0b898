// velmora-shot's command line.
#include "tools/shot/shot_options.h"

#include "app/menu.h"
#include "support/printable_text.h"
#include "cli/command_line.h"

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
    "Every option also takes its value as --option=VALUE.\n"
    "  --help             this text\n"
    "  --version          the version\n"
    "Start-up state: start pose, sun and kart lights on, headlight off, circling kart\n"
    "turning, curve kart standing at the start of its lap.\n";

namespace {

bool parseOnOff(const std::string& text, bool* on) {
  if (text == "on" || text == "off") {
    *on = text == "on";
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
    const std::string part = text.substr(start, last ? std::string::npos : comma - start);
    // Yaw within one turn either way; pitch where the camera's tilt stops.
    const double limit = i == 2 ? 360 : i == 3 ? 75 : 1e9;
    if (!parseDecimal(part, -limit, limit, &v[i])) return false;
    start = comma + 1;
  }
  action->kind = ShotAction::Kind::POSE;
  action->x = v[0];
  action->z = v[1];
  action->yaw = v[2];
  action->pitch = v[3];
  return true;
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

// Every option of velmora-shot, each storing into `result`.
CommandLine shotCommandLine(ShotOptions* result) {
  CommandLine line("velmora-shot", SHOT_USAGE);
  for (const SwitchOption& option : SWITCH_OPTIONS) {
    const ShotSwitch which = option.which;
    line.option(option.name, [result, which](const std::string& value) -> std::string {
      ShotAction action;
      action.kind = ShotAction::Kind::SWITCH;
      action.which = which;
      if (!parseOnOff(value, &action.on)) return "takes on or off";
      result->actions.push_back(action);
      return "";
    });
  }
  line.option("--view", [result](const std::string& value) -> std::string {
    // The start pose as a person gets it: "Back to start", then out of car view.
    if (value == "start") {
      result->actions.push_back(commandAction(CMD_BACK_TO_START));
      result->actions.push_back(commandAction(CMD_FREE_MOVEMENT));
    } else if (value == "bench") {
      result->actions.push_back(commandAction(CMD_BENCH_VIEW));
    } else if (value == "car") {
      result->actions.push_back(commandAction(CMD_CAR_VIEW));
    } else if (value == "free") {
      result->actions.push_back(commandAction(CMD_FREE_MOVEMENT));
    } else {
      return "takes start, bench, car or free";
    }
    return "";
  });
  line.option("--pose", [result](const std::string& value) -> std::string {
    ShotAction action;
    if (!parsePose(value, &action)) return "takes X,Z,YAW,PITCH with yaw in -360..360 and pitch in -75..75";
    result->actions.push_back(action);
    return "";
  });
  line.option("--curve", [result](const std::string& value) -> std::string {
    double t;
    // One lap is [0, 8): the end of the lap is its start.
    if (!parseDecimal(value, 0, 8, &t) || t >= 8) return "takes a number 0 <= T < 8";
    result->curveParam = static_cast<float>(t);
    return "";
  });
  for (const char* name : {"--spin", "--sun-angle"}) {
    std::optional<double>* angle = name == std::string("--spin") ? &result->spinAngle : &result->sunAngle;
    line.option(name, [angle](const std::string& value) -> std::string {
      double degrees;
      if (!parseDecimal(value, 0, 360, &degrees)) return "takes degrees 0..360";
      *angle = degrees;
      return "";
    });
  }
  line.option("--steps", countInto(&result->steps, 0, 1000000));
  line.option("--frames", countInto(&result->frames, 1, 100000));
  line.option("--size", [result](const std::string& value) -> std::string {
    if (!parseSize(value, 16, 8192, &result->width, &result->height)) return "takes WxH, each 16..8192";
    return "";
  });
  line.option("--scale", countInto(&result->scale, 1, 64, "a factor"));
  line.option("--root", [result](const std::string& value) -> std::string {
    if (value.empty()) return "takes a folder";
    result->root = value;
    return "";
  });
  return line;
}

}  // namespace

bool parseShotOptions(const std::vector<std::string>& args, ShotOptions* options, std::string* error) {
  ShotOptions result;
  const ParsedCommandLine parsed = shotCommandLine(&result).parse(args);
  auto fail = [error](const std::string& text) {
    *error = text;
    return false;
  };
  switch (parsed.kind) {
    case ParsedCommandLine::Kind::MISTAKE:
      return fail(parsed.mistake);
    case ParsedCommandLine::Kind::HELP:
      result.help = true;
      break;
    case ParsedCommandLine::Kind::VERSION:
      result.version = true;
      break;
    case ParsedCommandLine::Kind::RUN:
      if (parsed.operands.empty()) return fail("no output file given");
      if (parsed.operands.size() > 1)
        return fail("more than one output file: " + printableText(parsed.operands[0]) + " and " +
                    printableText(parsed.operands[1]));
      result.output = parsed.operands[0];
      if (result.width / result.scale < 1 || result.height / result.scale < 1)
        return fail("--scale is larger than the picture");
      break;
  }
  *options = result;
  return true;
}
