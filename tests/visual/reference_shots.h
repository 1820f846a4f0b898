// The visual regression's reference pictures: their names, the velmora-shot
// options that make them, and where the committed files are.
#pragma once

#include <string>
#include <vector>

#include "tools/shot/shot_options.h"

namespace visualtest {

struct ReferenceShot {
  std::string name;
  std::vector<std::string> args;  // velmora-shot's options, without the output file
  ShotOptions options;            // the same, parsed
};

// Reads tests/visual/references/shots.txt. Fails the calling test (and returns
// what it could read) when a line does not parse.
std::vector<ReferenceShot> loadReferenceShots();

// The shot named `name` in the table; fails the calling test when there is none.
ReferenceShot referenceShot(const std::string& name);

// The committed picture of a reference shot, and the folder of them.
std::string referencePath(const std::string& name);
std::string referenceDir();

// Options parsed as velmora-shot parses them, with a dummy output file.
ShotOptions shotOptions(const std::vector<std::string>& args);

}  // namespace visualtest
