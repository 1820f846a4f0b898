// The pictures the image loading benchmark decodes: large generated BMP and
// TGA files in the forms the scene uses, written into the scratch folder.
#pragma once

#include <string>
#include <vector>

struct BenchImage {
  std::string label;
  std::string path;
};

// Writes (every run; they take a moment) a 2047 x 2048 24-bit BMP (rows padded
// to 6144 bytes), a 2048 x 2048 32-bit run-length TGA and a 2048 x 2048 24-bit
// raw TGA; `quick` makes them 512 pixels high. Empty on failure.
std::vector<BenchImage> makeBenchImages(const std::string& folder, bool quick);
