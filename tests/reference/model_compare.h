// Whether two read models are the same, field by field and bit for bit: how the
// fast scanner is held to the reference one by the tests, the fuzzer and the benchmark.
#pragma once

#include <string>

#include "glm/model.h"

// The first difference between `a` and `b` described in a line, or the empty
// string when every count, array (floats compared by their bits), triangle,
// group (in list order), material and texture entry is the same.
std::string glmModelDifference(const ObjModel& a, const ObjModel& b);
