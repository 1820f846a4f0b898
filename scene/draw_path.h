// Which way the frame submits its geometry: the culled path the program draws
// with, or the straightforward reference that tests and the benchmark compare
// it with: picture for picture (within a level or two) and hit record for hit
// record.
#pragma once

enum class DrawPath {
  Culled,     // leaves out what cannot show; draws the ground as coarse as its light allows
  Reference,  // every primitive sent as drawn by hand: the immediate-mode ground
};

// The program never switches; tests and the benchmark do.
void setDrawPath(DrawPath path);
DrawPath drawPath();
