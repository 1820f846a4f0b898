// Child processes for the end-to-end tests.
#include "tests/e2e/process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/test_paths.h"

namespace e2etest {

namespace {

double now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

void sleepSeconds(double seconds) {
  timespec t;
  t.tv_sec = static_cast<time_t>(seconds);
  t.tv_nsec = static_cast<long>((seconds - t.tv_sec) * 1e9);
  nanosleep(&t, nullptr);
}

int decodeStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

bool ChildProcess::hold() {
  if (pid_ <= 0 || exited_ || kill(pid_, SIGSTOP) != 0) return false;
  // The signal is only sent by then: wait for the kernel to show the process stopped ("T").
  const std::string statFile = "/proc/" + std::to_string(pid_) + "/stat";
  for (int i = 0; i < 1000; ++i) {
    std::ifstream in(statFile);
    std::string stat;
    std::getline(in, stat);
    const size_t end = stat.rfind(')');
    if (end != std::string::npos && end + 2 < stat.size() && stat[end + 2] == 'T') return true;
    const timespec wait{0, 1000000};
    nanosleep(&wait, nullptr);
  }
  resume();
  return false;
}

void ChildProcess::resume() {
  if (pid_ > 0 && !exited_) kill(pid_, SIGCONT);
}

ChildProcess::~ChildProcess() {
  closeInput();
  stop();
  if (ownsOutputFile_ && !outputFile_.empty()) unlink(outputFile_.c_str());
}

bool ChildProcess::start(const ProcessSpec& launch, std::string* error) {
  if (launch.argv.empty()) {
    *error = "no program given";
    return false;
  }
  // A ChildProcess can be used again once its last program is gone.
  closeInput();
  stop();
  if (ownsOutputFile_) unlink(outputFile_.c_str());
  pid_ = -1;
  exited_ = false;
  groupEnded_ = false;
  status_ = -1;
  ownsOutputFile_ = false;
  outputFile_ = launch.outputFile;
  if (outputFile_.empty()) {
    // In a folder of its own below the test program's temporary folder,
    // which goes when the test program ends.
    try {
      outputFile_ = supporttest::makeTempDir("output") + "/output.txt";
    } catch (const std::exception& e) {
      *error = e.what();
      return false;
    }
    ownsOutputFile_ = true;
  }
  // Everything the child needs is prepared before the fork: after it, only
  // async-signal-safe calls.
  std::vector<char*> argv;
  for (const std::string& arg : launch.argv) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int out = open(outputFile_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (out < 0) {
    *error = "cannot open " + outputFile_;
    return false;
  }
  int err = out;
  if (!launch.errorFile.empty()) {
    err = open(launch.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (err < 0) {
      close(out);
      *error = "cannot open " + launch.errorFile;
      return false;
    }
  }
  auto closeOutputs = [&] {
    close(out);
    if (err != out) close(err);
  };
  int failurePipe[2];
  if (pipe2(failurePipe, O_CLOEXEC) != 0) {
    closeOutputs();
    *error = "cannot make a pipe";
    return false;
  }
  int inputPipe[2] = {-1, -1};
  if (launch.stdinPipe && pipe2(inputPipe, O_CLOEXEC) != 0) {
    closeOutputs();
    close(failurePipe[0]);
    close(failurePipe[1]);
    *error = "cannot make a pipe";
    return false;
  }

  const pid_t pid = fork();
  if (pid < 0) {
    closeOutputs();
    close(failurePipe[0]);
    close(failurePipe[1]);
    if (launch.stdinPipe) {
      close(inputPipe[0]);
      close(inputPipe[1]);
    }
    *error = "cannot fork";
    return false;
  }
  if (pid == 0) {
    setpgid(0, 0);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (launch.stdinPipe) {
      dup2(inputPipe[0], STDIN_FILENO);
    } else {
      const int devNull = open("/dev/null", O_RDONLY);
      if (devNull >= 0) dup2(devNull, STDIN_FILENO);
    }
    if (launch.passFd >= 0) fcntl(launch.passFd, F_SETFD, 0);
    for (const std::string& name : launch.unsetEnv) unsetenv(name.c_str());
    for (const auto& entry : launch.setEnv) setenv(entry.first.c_str(), entry.second.c_str(), 1);
    if (!launch.workingDir.empty() && chdir(launch.workingDir.c_str()) != 0) {
      const int code = errno;
      (void)!write(failurePipe[1], &code, sizeof code);
      _exit(127);
    }
    execvp(argv[0], argv.data());
    const int code = errno;
    (void)!write(failurePipe[1], &code, sizeof code);
    _exit(127);
  }
  // Set from both sides, so that a stop() right after start() reaches the group.
  setpgid(pid, pid);
  closeOutputs();
  close(failurePipe[1]);
  if (launch.stdinPipe) {
    close(inputPipe[0]);
    input_ = inputPipe[1];
  }
  int code = 0;
  const ssize_t got = read(failurePipe[0], &code, sizeof code);
  close(failurePipe[0]);
  pid_ = pid;
  if (got == static_cast<ssize_t>(sizeof code)) {
    waitFor(5);
    *error = "cannot start " + launch.argv[0] + ": " + std::strerror(code);
    return false;
  }
  return true;
}

bool ChildProcess::waitFor(double seconds) {
  if (pid_ < 0) return true;
  if (exited_) return true;
  const double deadline = now() + seconds;
  for (;;) {
    int status = 0;
    const pid_t got = waitpid(pid_, &status, WNOHANG);
    if (got == pid_) {
      exited_ = true;
      status_ = decodeStatus(status);
      return true;
    }
    if (got < 0 && errno != EINTR) {
      exited_ = true;
      return true;
    }
    if (now() >= deadline) return false;
    sleepSeconds(0.01);
  }
}

bool ChildProcess::running() { return pid_ >= 0 && !waitFor(0); }

void ChildProcess::stop() {
  if (pid_ < 0 || groupEnded_) return;
  // The group goes too: helpers the child started (xvfb-run's server) must not outlive it.
  if (!exited_) kill(-pid_, SIGTERM);
  if (!waitFor(5)) {
    kill(-pid_, SIGKILL);
    waitFor(5);
  }
  // Stragglers of the group that outlived the leader: xvfb-run ends without
  // waiting for its X server. Asked first, so that a server removes its lock
  // file and socket (killed outright it would leave them behind), then killed.
  if (kill(-pid_, SIGTERM) == 0) {
    for (int i = 0; i < 500 && kill(-pid_, 0) == 0; ++i) {
      const timespec wait{0, 10000000};
      nanosleep(&wait, nullptr);
    }
  }
  kill(-pid_, SIGKILL);
  groupEnded_ = true;
}

bool ChildProcess::writeInput(const std::string& text) {
  if (input_ < 0) return false;
  // A child that has ended must give a failed write, not end the test.
  signal(SIGPIPE, SIG_IGN);
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(input_, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

void ChildProcess::closeInput() {
  if (input_ >= 0) close(input_);
  input_ = -1;
}

std::string ChildProcess::output() const {
  std::ifstream in(outputFile_);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

RunResult runProcess(const ProcessSpec& launch, double seconds) {
  RunResult result;
  ChildProcess child;
  std::string error;
  if (!child.start(launch, &error)) {
    result.output = error;
    return result;
  }
  result.started = true;
  result.finished = child.waitFor(seconds);
  child.stop();
  result.exitStatus = child.exitStatus();
  result.output = child.output();
  return result;
}

}  // namespace e2etest
