// The command-line convention every Velmora tool follows, GNU style: --help
// and --version, "--opt value" and "--opt=value", "--" before operands that
// start with a dash, and every mistake answered with one line that names it
// and says "try --help", exit status 2.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Checks one option's value. Returns "" when it is good, otherwise what the
// option takes ("takes a count 1..100000"), which the message completes.
using ValueCheck = std::function<std::string(const std::string& value)>;

struct ParsedCommandLine {
  enum class Kind { RUN, HELP, VERSION, MISTAKE };
  Kind kind = Kind::RUN;
  std::string mistake;                // MISTAKE: the reason, without the tool's name
  std::vector<std::string> operands;  // the arguments that are not options, in order
};

class CommandLine {
 public:
  // `program` names the tool in its messages; `usage` is what --help prints.
  CommandLine(std::string program, std::string usage);

  // An option without a value.
  void flag(const std::string& name, std::function<void()> apply);
  // An option that takes a value, given after it or after "=".
  void option(const std::string& name, ValueCheck apply);
  // An option whose value may be left out: "=VALUE" always counts, the next
  // argument only when it does not start with a dash.
  void optionalValue(const std::string& name, ValueCheck apply, std::function<void()> withoutValue);

  // Applies the options in the order given, up to the first mistake.
  ParsedCommandLine parse(const std::vector<std::string>& args) const;

  // For main(): parses argv, answers --help and --version on stdout and a
  // mistake on stderr. Returns -1 when the tool should go on, otherwise the
  // status to exit with.
  int handle(int argc, char** argv, std::vector<std::string>* operands) const;

  // A mistake found after parsing (a missing operand, two that exclude each
  // other): the one line on stderr. Returns 2, the status to exit with.
  int refuse(const std::string& reason) const;

  const std::string& program() const { return program_; }
  const std::string& usage() const { return usage_; }

 private:
  enum class Value { NONE, REQUIRED, OPTIONAL };
  struct Option {
    std::string name;
    Value value;
    std::function<void()> withoutValue;
    ValueCheck apply;
  };
  const Option* find(const std::string& name) const;

  std::string program_;
  std::string usage_;
  std::vector<Option> options_;
};

// "velmora-shot: REASON; try --help" on stderr. Returns 2.
int refuseCommandLine(const std::string& program, const std::string& reason);

// "velmora-shot (Velmora) 1.0" on stdout.
void printVersion(const std::string& program);

// The whole text as a whole number within [min, max]: no sign of trouble
// (spaces, trailing letters, overflow) is let through.
bool parseWholeNumber(const std::string& text, long min, long max, long* value);
bool parseWholeNumber(const std::string& text, int min, int max, int* value);

// "WxH": two whole numbers, each within [min, max], joined by an 'x'.
bool parseSize(const std::string& text, int min, int max, int* width, int* height);

// The whole text as a finite decimal number within [min, max].
bool parseDecimal(const std::string& text, double min, double max, double* value);

// Checks for option() that store a number in range or refuse with the range.
ValueCheck countInto(int* target, int min, int max, const char* what = "a count");
ValueCheck secondsInto(double* target, double min, double max);
