// Placeholder until the obj section is written.
#include <cstdio>

#include "bench/velmora_bench/bench_figures.h"

void runObjSection(const BenchOptions&, BenchFigures&) { std::printf("obj section: not written yet\n"); }
