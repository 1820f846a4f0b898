// Always-on checks for programming errors in the model library: the release
// build keeps them, since a missing model or array would otherwise be a wild read.
#pragma once

#include <cstdio>
#include <cstdlib>

#define GLM_ASSERT(condition, text)                                                         \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s: %s:%d: Assertion `%s' failed.\n", __func__, __FILE__, __LINE__, \
                   text);                                                                   \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)
