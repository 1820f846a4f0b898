// The one way output files are written: a file that was there survives every
// failed write whole (a real failure: a file size limit, RLIMIT_FSIZE, in a
// child process) and no temporary file is left behind. Devices and pipes as
// targets are tried with the programs (programs_test.cpp).
#include "support/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "tests/support/test_paths.h"

namespace {

using supporttest::entriesIn;
using supporttest::readFile;

void put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// writeOutputFile in a child process whose files may grow to `limit` bytes
// (0: no limit). Returns its reason, "" when it wrote the file.
std::string writeInChild(const std::string& path, const std::string& bytes, rlim_t limit) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    if (limit != 0) {
      signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead of ending the process
      const rlimit cap = {limit, limit};
      setrlimit(RLIMIT_FSIZE, &cap);
    }
    const std::string reason = writeOutputFile(path, bytes.data(), bytes.size());
    if (write(pipeFds[1], reason.data(), reason.size()) < 0) _exit(2);
    _exit(0);
  }
  close(pipeFds[1]);
  std::string reason;
  char buffer[256];
  ssize_t got;
  while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) reason.append(buffer, static_cast<size_t>(got));
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return reason;
}

TEST(OutputFile, AnEarlierFileSurvivesEveryFailedWrite) {
  const std::string earlier = "the picture that was there\n";
  const struct {
    const char* what;
    std::string bytes;
    rlim_t limit;
    const char* reason;  // empty: written
  } cases[] = {
      {"fits", std::string(3000, 'a'), 0, ""},
      {"fails when flushed at the close", std::string(3000, 'b'), 1000, "larger than a file may grow here"},
      {"fails while written", std::string(200000, 'c'), 1000, "larger than a file may grow here"},
      {"empty", "", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = supporttest::makeTempDir("output");
    const std::string target = folder + "/shot.png";
    put(target, earlier);
    chmod(target.c_str(), 0640);
    const std::string reason = writeInChild(target, c.bytes, c.limit);
    EXPECT_EQ(reason.substr(0, std::string(c.reason).size()), c.reason) << reason;
    EXPECT_EQ(readFile(target), *c.reason ? earlier : c.bytes);
    EXPECT_EQ(entriesIn(folder), 1u) << "a temporary file was left behind";
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the file keeps its mode";
  }
}

// "/dev/stdout > x.png" and ">> log" as a shell sets them up: the open file
// itself is written, where it stands, and no file is put in its place.
TEST(OutputFile, ADescriptorsNameIsWrittenThroughIt) {
  const std::string folder = supporttest::makeTempDir("output-descriptor");
  const std::string log = folder + "/log";
  put(log, "start\n");
  const int fd = open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  struct stat before, after;
  ASSERT_EQ(stat(log.c_str(), &before), 0);
  for (const std::string& name : {"/dev/fd/" + std::to_string(fd), "/proc/self/fd/" + std::to_string(fd)}) {
    EXPECT_EQ(outputFileProblem(name), "");
    EXPECT_EQ(writeOutputFile(name, "picture\n", 8), "") << name;
  }
  close(fd);
  EXPECT_EQ(readFile(log), "start\npicture\npicture\n");
  ASSERT_EQ(stat(log.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the log was replaced";
  EXPECT_EQ(entriesIn(folder), 1u);
  EXPECT_EQ(outputFileProblem("/dev/fd/" + std::to_string(fd)), "no such open file");
}

TEST(OutputFile, ALinkStaysAndItsFileIsReplaced) {
  const std::string folder = supporttest::makeTempDir("output-link");
  put(folder + "/real.png", "old");
  ASSERT_EQ(symlink("real.png", (folder + "/link.png").c_str()), 0);
  EXPECT_EQ(writeOutputFile(folder + "/link.png", "new", 3), "");
  struct stat info;
  ASSERT_EQ(lstat((folder + "/link.png").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(readFile(folder + "/real.png"), "new");
}

TEST(OutputFile, ProblemsAreFoundBeforeAnythingIsWritten) {
  const std::string folder = supporttest::makeTempDir("output-problems");
  put(folder + "/file", "x");
  const struct {
    std::string path;
    const char* problem;
  } cases[] = {
      {folder + "/new.png", ""},
      {folder + "/file", ""},
      {"/dev/null", ""},
      {folder + "/missing/new.png", "its folder does not exist"},
      {folder + "/file/new.png", "a part of its path is not a folder"},
      {folder, "a folder, not a file"},
      {folder + "/", "a folder name, not a file"},
      {folder + "/" + std::string(300, 'n') + ".png", "the name is too long"},
      {"", "no file name given"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(outputFileProblem(c.path), c.problem);
    if (*c.problem) {
      EXPECT_FALSE(writeOutputFile(c.path, "x", 1).empty());
    }
  }
  EXPECT_EQ(entriesIn(folder), 1u) << "the look left a file behind";
  EXPECT_EQ(readFile(folder + "/file"), "x");
}

}  // namespace
