// What the model reader reads at most. An OBJ file or a material library is
// read whole into memory, so its size is capped far above any real model (the
// scene's kart is 0.5 MB, the benchmark's terrain 110 MB); the arrays, groups
// and materials that the counting passes ask for are checked against a memory
// cap before they are allocated, since a short line can stand for a large record.
#pragma once

#include <cstdint>

#include "support/read_limits.h"

constexpr std::uint64_t MODEL_MAX_FILE_BYTES = 256 * MIB;
constexpr std::uint64_t MODEL_MAX_MEMORY = 1024 * MIB;
