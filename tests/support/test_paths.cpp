// Where tests find the project's files and the third-party test data.
#include "tests/support/test_paths.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <stdexcept>

namespace supporttest {

std::string source(const std::string& relative) { return std::string(VELMORA_SOURCE_DIR) + "/" + relative; }

std::string testdata(const std::string& relative) { return std::string(VELMORA_TESTDATA_DIR) + "/" + relative; }

bool haveTestdata() {
  struct stat info;
  return stat(VELMORA_TESTDATA_DIR, &info) == 0 && S_ISDIR(info.st_mode);
}

std::string makeTempDir(const std::string& tag) {
  std::string pattern = "/tmp/velmora-" + tag + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
  return pattern;
}

}  // namespace supporttest
