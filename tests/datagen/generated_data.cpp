// Runs the velmora-datagen program for the tests.
#include "tests/datagen/generated_data.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/test_paths.h"

namespace datagentest {

int runGenerator(const std::string& dir, std::string& output, const std::string& options, const std::string& setup) {
  std::string command = setup + " '" + VELMORA_DATAGEN_EXE + "' --out '" + dir + "' " + options + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start " + command);
  char buffer[512];
  output.clear();
  while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string& generatedDir() {
  static const std::string dir = [] {
    std::string d = supporttest::makeTempDir("datagen");
    std::string output;
    if (runGenerator(d, output) != 0) throw std::runtime_error("velmora-datagen failed:\n" + output);
    return d;
  }();
  return dir;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool powerOfTwo(long n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace datagentest
