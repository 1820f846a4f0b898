// The command-line convention every Velmora tool follows.
#include "cli/command_line.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "support/printable_text.h"

namespace {

bool startsWithDash(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

std::string quoted(const std::string& text) { return "\"" + printableText(text) + "\""; }

}  // namespace

CommandLine::CommandLine(std::string program, std::string usage)
    : program_(std::move(program)), usage_(std::move(usage)) {}

void CommandLine::flag(const std::string& name, std::function<void()> apply) {
  options_.push_back({name, Value::NONE, std::move(apply), nullptr});
}

void CommandLine::option(const std::string& name, ValueCheck apply) {
  options_.push_back({name, Value::REQUIRED, nullptr, std::move(apply)});
}

void CommandLine::optionalValue(const std::string& name, ValueCheck apply, std::function<void()> withoutValue) {
  options_.push_back({name, Value::OPTIONAL, std::move(withoutValue), std::move(apply)});
}

const CommandLine::Option* CommandLine::find(const std::string& name) const {
  for (const Option& option : options_) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

ParsedCommandLine CommandLine::parse(const std::vector<std::string>& args) const {
  ParsedCommandLine result;
  auto mistake = [&result](const std::string& reason) {
    result.kind = ParsedCommandLine::Kind::MISTAKE;
    result.mistake = reason;
    return result;
  };
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !startsWithDash(arg)) {
      result.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    const bool inlineValue = equals != std::string::npos;
    if (name == "--help" || name == "-h" || name == "--version") {
      if (inlineValue) return mistake(name + " takes no value");
      result.kind = name == "--version" ? ParsedCommandLine::Kind::VERSION : ParsedCommandLine::Kind::HELP;
      return result;
    }
    const Option* option = find(name);
    if (option == nullptr) return mistake("unknown option " + quoted(name));

    std::string value;
    bool hasValue = inlineValue;
    if (inlineValue) {
      value = arg.substr(equals + 1);
    } else if (option->value == Value::REQUIRED) {
      // A required value is taken whatever it looks like: "--pose -13,-12,0,0".
      if (i + 1 >= args.size()) return mistake(name + " needs a value");
      value = args[++i];
      hasValue = true;
    } else if (option->value == Value::OPTIONAL && i + 1 < args.size() && !startsWithDash(args[i + 1])) {
      value = args[++i];
      hasValue = true;
    }

    if (option->value == Value::NONE) {
      if (hasValue) return mistake(name + " takes no value");
      option->withoutValue();
    } else if (!hasValue) {
      option->withoutValue();
    } else {
      const std::string takes = option->apply(value);
      if (!takes.empty()) return mistake(name + " " + takes + ", not " + quoted(value));
    }
  }
  return result;
}

int CommandLine::handle(int argc, char** argv, std::vector<std::string>* operands) const {
  const ParsedCommandLine parsed = parse(std::vector<std::string>(argv + 1, argv + argc));
  switch (parsed.kind) {
    case ParsedCommandLine::Kind::HELP:
      std::fputs(usage_.c_str(), stdout);
      return 0;
    case ParsedCommandLine::Kind::VERSION:
      printVersion(program_);
      return 0;
    case ParsedCommandLine::Kind::MISTAKE:
      return refuse(parsed.mistake);
    case ParsedCommandLine::Kind::RUN:
      break;
  }
  if (operands) *operands = parsed.operands;
  return -1;
}

int CommandLine::refuse(const std::string& reason) const { return refuseCommandLine(program_, reason); }

int refuseCommandLine(const std::string& program, const std::string& reason) {
  std::fprintf(stderr, "%s: %s; try --help\n", program.c_str(), reason.c_str());
  return 2;
}

void printVersion(const std::string& program) { std::printf("%s (Velmora) %s\n", program.c_str(), VELMORA_VERSION); }

bool parseWholeNumber(const std::string& text, long min, long max, long* value) {
  // strtol would skip leading blanks and take "12abc" as 12.
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '+'))
    return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || v < min || v > max) return false;
  *value = v;
  return true;
}

bool parseWholeNumber(const std::string& text, int min, int max, int* value) {
  long v = 0;
  if (!parseWholeNumber(text, static_cast<long>(min), static_cast<long>(max), &v)) return false;
  *value = static_cast<int>(v);
  return true;
}

bool parseSize(const std::string& text, int min, int max, int* width, int* height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  return parseWholeNumber(text.substr(0, x), min, max, width) && parseWholeNumber(text.substr(x + 1), min, max, height);
}

bool parseDecimal(const std::string& text, double min, double max, double* value) {
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '+' ||
                        text[0] == '.'))
    return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || end == text.c_str() || *end != '\0' || !std::isfinite(v) || v < min || v > max) return false;
  *value = v;
  return true;
}

ValueCheck countInto(int* target, int min, int max, const char* what) {
  return [=](const std::string& value) -> std::string {
    if (parseWholeNumber(value, min, max, target)) return "";
    return std::string("takes ") + what + " " + std::to_string(min) + ".." + std::to_string(max);
  };
}

ValueCheck secondsInto(double* target, double min, double max) {
  return [=](const std::string& value) -> std::string {
    if (parseDecimal(value, min, max, target)) return "";
    char range[64];
    std::snprintf(range, sizeof range, "takes seconds %g..%g", min, max);
    return range;
  };
}
