// The one way out of the process for a model that cannot be used.
#include "glm/read_status.h"

#include <cstdio>
#include <cstdlib>

void glmFailWith(const ReadStatus& status) {
  // Earlier progress lines on standard output come first, as they were printed.
  std::fflush(stdout);
  std::fputs(status.text().c_str(), status.toStdout ? stdout : stderr);
  std::fflush(stdout);
  std::fflush(stderr);
  std::exit(1);
}
