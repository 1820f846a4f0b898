// Child processes for the end-to-end tests: started in a process group of
// their own with a chosen working folder and environment, waited for with a
// time limit, and never left running.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace e2etest {

struct ProcessSpec {
  std::vector<std::string> argv;
  std::string workingDir;                                   // empty: the test's own
  std::vector<std::pair<std::string, std::string>> setEnv;  // added to or replacing the test's environment
  std::vector<std::string> unsetEnv;
  std::string outputFile;  // stdout and stderr go here; empty: a temporary file
  std::string errorFile;   // stderr goes here instead, when set (the caller reads and removes it)
  int passFd = -1;         // one descriptor of the test's that the child keeps open under its own number
  bool stdinPipe = false;  // stdin from a pipe the test writes to (writeInput), not /dev/null
};

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts the program. Returns false with `error` set when it cannot be started.
  bool start(const ProcessSpec& launch, std::string* error);

  // Waits up to `seconds` for the process to end. Returns true once it has;
  // exitStatus() then holds its status.
  bool waitFor(double seconds);

  // True while the process has not been seen to end.
  bool running();

  // The whole process group: SIGTERM, then SIGKILL if it lingers; reaps it.
  void stop();

  // Holds the process (SIGSTOP) and returns once it is stopped; false when it
  // could not be held within a second. resume() lets it run on (SIGCONT).
  bool hold();
  void resume();

  pid_t pid() const { return pid_; }
  bool exited() const { return exited_; }
  // The exit code, or 128 + the signal number for a process ended by a signal.
  int exitStatus() const { return status_; }
  // What the process wrote to stdout and stderr so far.
  std::string output() const;

  // Writes to the child's stdin (ProcessSpec::stdinPipe); closeInput() ends it.
  bool writeInput(const std::string& text);
  void closeInput();

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  bool groupEnded_ = false;
  int status_ = -1;
  std::string outputFile_;
  bool ownsOutputFile_ = false;
  int input_ = -1;
};

struct RunResult {
  bool started = false;
  bool finished = false;  // false: it ran past the time limit and was stopped
  int exitStatus = -1;
  std::string output;
};

// Runs a program to its end, for at most `seconds`.
RunResult runProcess(const ProcessSpec& launch, double seconds);

}  // namespace e2etest
