// What the benchmark's sections measure, gathered for the final machine-readable line.
#pragma once

#include <string>

// Options shared by every section.
struct BenchOptions {
  bool quick = false;         // fewer frames and a smaller big OBJ, for a smoke run
  int frames = 200;           // frames per measured frame series
  int bigObjMegabytes = 110;  // size of the generated OBJ file
  std::string testdataDir;    // third-party test files (the bunny)
  std::string scratchDir;     // this run's own folder for generated files (main.cpp)
};

// Medians unless said otherwise; negative means "not measured".
struct BenchFigures {
  double frameMs = -1;        // full frame from the start pose
  double floorMs = -1;        // clear and swap only
  double groundMs = -1;       // the straightforward immediate-mode ground alone
  double pickMs = -1;         // one pick
  double startupMs = -1;      // start-up to the first frame drawn
  double objMbPerS = -1;      // glmReadOBJ on the big generated OBJ
  double tinyobjMbPerS = -1;  // tinyobjloader on the same file
  bool identical = true;      // every frame within the picture tolerance of its reference, every pick the same
};

// Frames, picks and start-up (needs a display: a GL window).
void runFrameSection(const BenchOptions& options, BenchFigures& figures);

// glmReadOBJ next to tinyobjloader, on the bunny and on a generated big OBJ.
void runObjSection(const BenchOptions& options, BenchFigures& figures);

// BMP and TGA decoding next to stb_image.
void runImageSection(const BenchOptions& options, BenchFigures& figures);
