// Generated OBJ and MTL texts full of what makes formatted reads differ: odd
// number forms, broken face patterns, long lines, odd blanks, CR and NUL bytes.
#pragma once

#include <cstdint>
#include <string>

namespace glmtest {

struct TrickyModel {
  std::string obj;
  std::string mtl;  // read as "m.mtl" when the OBJ names it
};

// The same text for the same seed.
TrickyModel makeTrickyModel(std::uint32_t seed);

}  // namespace glmtest
