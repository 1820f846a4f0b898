// Where tests find the project's files and the third-party test data.
#include "tests/support/test_paths.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace supporttest {

std::string source(const std::string& relative) { return std::string(VELMORA_SOURCE_DIR) + "/" + relative; }

std::string dataRoot() { return VELMORA_TEST_DATA_ROOT; }

std::string testdata(const std::string& relative) { return std::string(VELMORA_TESTDATA_DIR) + "/" + relative; }

bool haveTestdata() {
  struct stat info;
  return stat(VELMORA_TESTDATA_DIR, &info) == 0 && S_ISDIR(info.st_mode);
}

bool underCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::strcmp(ci, "true") == 0;
}

namespace {

// The path outlives every static destructor: the exit handler still needs it.
const std::string& runFolder() {
  static const std::string* folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : P_tmpdir) + "/velmora-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot make a temporary folder " + pattern + ": " + std::strerror(errno) +
                               "; set TMPDIR to a writable folder");
    }
    auto* path = new std::string(pattern);
    // Only the process that made it removes it: a death test's child ends
    // with exit() too, while its parent still uses the folder.
    static const pid_t owner = getpid();
    std::atexit([] {
      if (getpid() != owner) return;
      std::error_code ignored;
      std::filesystem::remove_all(runFolder(), ignored);
    });
    return path;
  }();
  return *folder;
}

}  // namespace

std::string makeTempDir(const std::string& tag) {
  std::string pattern = runFolder() + "/" + tag + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary folder " + pattern + ": " + std::strerror(errno));
  }
  return pattern;
}

std::string keptFile(const std::string& name) {
  const std::string folder = VELMORA_KEPT_DIR;
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder + "/" + name;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t entriesIn(const std::string& folder) {
  const std::filesystem::directory_iterator all(folder);
  return static_cast<size_t>(std::distance(begin(all), end(all)));
}

}  // namespace supporttest
