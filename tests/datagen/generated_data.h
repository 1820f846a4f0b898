// Runs the velmora-datagen program for the tests: once into a shared fresh folder, or
// on demand into a given one.
#pragma once

#include <string>

namespace datagentest {

// Folder holding one complete run's output (made on first use).
const std::string& generatedDir();

// Runs the generator into `dir` with `options` after --out DIR, under a shell
// that runs `setup` first (a ulimit); returns its exit status and fills
// `output` with what it printed.
int runGenerator(const std::string& dir, std::string& output, const std::string& options = "",
                 const std::string& setup = "");

std::string readText(const std::string& path);

// Whether n is a power of two (and not 0).
bool powerOfTwo(long n);

}  // namespace datagentest
