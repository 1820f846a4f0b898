// Placeholder until the frame section is written.
#include <cstdio>

#include "bench/velmora_bench/bench_figures.h"

void runFrameSection(const BenchOptions&, BenchFigures&) { std::printf("frame section: not written yet\n"); }
