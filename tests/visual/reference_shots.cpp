// The visual regression's reference pictures.
#include "tests/visual/reference_shots.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/test_paths.h"

namespace visualtest {

std::string referenceDir() { return supporttest::source("tests/visual/references"); }

std::string referencePath(const std::string& name) { return referenceDir() + "/" + name + ".png"; }

ShotOptions shotOptions(const std::vector<std::string>& args) {
  std::vector<std::string> withOutput = args;
  withOutput.push_back("unused.png");
  ShotOptions options;
  std::string error;
  EXPECT_TRUE(parseShotOptions(withOutput, &options, &error)) << error;
  return options;
}

std::vector<ReferenceShot> loadReferenceShots() {
  std::vector<ReferenceShot> shots;
  std::ifstream in(referenceDir() + "/shots.txt");
  EXPECT_TRUE(in.good()) << "cannot read " << referenceDir() << "/shots.txt";
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    ReferenceShot shot;
    words >> shot.name;
    for (std::string word; words >> word;) shot.args.push_back(word);
    shot.options = shotOptions(shot.args);
    shots.push_back(shot);
  }
  return shots;
}

ReferenceShot referenceShot(const std::string& name) {
  for (const ReferenceShot& shot : loadReferenceShots())
    if (shot.name == name) return shot;
  ADD_FAILURE() << "no reference shot named " << name;
  return ReferenceShot();
}

}  // namespace visualtest
