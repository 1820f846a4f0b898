// The frame split by part: each part of the scene drawn alone through the
// culled drawing, under the frame's camera and lights, and the vertices the
// driver shades for it.
#pragma once

// Parts of the frame, as bits.
enum FramePart : unsigned {
  PART_NONE = 0,  // clear, lights and camera, swap
  PART_SKY_BOX = 1,
  PART_GROUND = 2,
  PART_KARTS = 4,
  PART_GRASS = 8,
  PART_BENCHES = 16,  // the two benches and the signboard
  PART_OBJECTS = PART_KARTS | PART_GRASS | PART_BENCHES,
};
constexpr unsigned FRAME_PARTS[] = {PART_NONE, PART_SKY_BOX, PART_GROUND, PART_KARTS, PART_GRASS, PART_BENCHES};
const char* framePartName(unsigned part);

// `display()` with only the objects of `parts` drawn (through the culled
// drawing); everything else the frame does (clear, lights, camera, the curve
// kart's lap, the lamps placed by each kart, swap) runs as usual.
void displayParts(unsigned parts);

// Pixels that the objects of `parts` leave other than black (the clear
// colour) in the frame as drawFrame draws it with only them, without a swap.
long pixelsDrawn(unsigned parts);

// What the driver counts for one pass of `draw`: vertices shaded, primitives
// submitted and primitives that reach clipping. All -1 when the driver has
// no pipeline statistics queries.
struct PipelineCounts {
  long long verticesShaded = -1;
  long long primitives = -1;
  long long clipped = -1;
};
PipelineCounts countPipeline(void (*draw)(unsigned), unsigned parts);
