// The culled drawing path against the straightforward one, from the same scene
// state: whole frames pixel for pixel and picks record for record.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "app/scene_state.h"
#include "scene/draw_path.h"
#include "scene/kart_lap.h"

// Everything a drawing pass reads or advances outside GL: the scene state,
// the curve kart's lap and the signboard's picture counter.
struct PassState {
  SceneState scene;
  CurveKartState kart;
  int signFrame = 0;
};
PassState capturePassState();
void restorePassState(const PassState& state);

// The frame as `display` draws it, without the swap, through `path`, read back
// from the back buffer (RGBA, bottom row first). The draw path is left as it was.
std::vector<unsigned char> drawAndReadFrame(DrawPath path);

// Pixels that differ between two read-back frames; -1 when their sizes differ.
long differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// One frame through each path from the current state; returns the differing
// pixel count and leaves the state as it found it.
long compareFrame();

// A pick's outcome: the hit count and the records' words, whole.
struct PickRecords {
  int hits = 0;
  std::vector<GLuint> words;
  bool operator==(const PickRecords& other) const { return hits == other.hits && words == other.words; }
};

// One pick at window pixel (x, y), origin bottom left, through `path`. Like any
// pick it advances the pass state; the draw path is left as it was.
PickRecords pickThrough(DrawPath path, int x, int y);
