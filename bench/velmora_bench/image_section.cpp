// Placeholder until the image section is written.
#include <cstdio>

#include "bench/velmora_bench/bench_figures.h"

void runImageSection(const BenchOptions&, BenchFigures&) { std::printf("image section: not written yet\n"); }
