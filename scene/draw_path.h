// Which way the frame submits its geometry: the culled path the program draws
// with, or the straightforward reference that tests and the benchmark compare
// it with pixel for pixel and hit record for hit record.
#pragma once

enum class DrawPath {
  Culled,     // leaves out only geometry that cannot give a fragment or a hit
  Reference,  // every primitive sent as drawn by hand: the immediate-mode ground
};

// The program never switches; tests and the benchmark do.
void setDrawPath(DrawPath path);
DrawPath drawPath();
