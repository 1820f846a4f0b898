// The culled drawing path against the straightforward one, from the same scene
// state: whole frames pixel for pixel and picks record for record.
#pragma once

#include <GL/gl.h>

#include <random>
#include <vector>

#include "app/scene_state.h"
#include "scene/kart_lap.h"
#include "tests/reference/reference_drawing.h"

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

// How two read-back frames differ: pixels that differ at all, pixels that
// differ by more than `PICTURE_TOLERANCE` levels in some channel, and the
// largest difference in any channel. All -1 when the sizes differ.
constexpr int PICTURE_TOLERANCE = 2;
struct FrameDifference {
  long differing = 0;
  long beyondTolerance = 0;
  int largest = 0;
  long pixels = 0;
};
FrameDifference compareFrames(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// One frame through each path from the current state, compared; leaves the
// state as it found it.
FrameDifference compareFrame();

// Sets the five light switches of the menu (sun, moving sun, changing colour,
// headlight, kart lamps) through their commands: bit n of `setting` toggles
// switch n once. Start from the scene as start-up leaves it.
constexpr int LIGHT_SETTINGS = 32;
void applyLightSetting(int setting);

// A camera anywhere on or over the ground, free or in car view, looking
// anywhere, with the kart, the sun and the changing colour at random places.
void placeRandomGroundCamera(std::mt19937& random);

// A pick's outcome: the hit count and the records' words as OpenGL wrote them
// (name count, depth minimum and maximum, names).
struct PickRecords {
  int hits = 0;
  std::vector<GLuint> words;
  bool operator==(const PickRecords& other) const { return hits == other.hits && words == other.words; }
};

// One pick at window pixel (x, y), origin bottom left, through `path`. Like any
// pick it advances the pass state; the draw path is left as it was.
PickRecords pickThrough(DrawPath path, int x, int y);
