// The culled drawing path against the straightforward one, from the same scene
// state: whole frames within the picture tolerance, the ground's coverage
// pixel for pixel, and picks record for record.
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
// largest difference in any channel. All -1 when the sizes differ. A culled
// frame may have 1 pixel in 1,000 beyond PICTURE_TOLERANCE.
constexpr int PICTURE_TOLERANCE = 2;

// The ground alone, culled: no pixel beyond PICTURE_LARGEST. Its pieces show
// the picture mirrored by the texture's wrap mode, where the cells mirror it
// by their coordinates; at the borders of rows, on mipmap levels of a few
// texels, the two filter differently (the worst seen is 19 levels). In a whole
// frame a pixel where an object meets the ground (the sky box's walls, the
// grass) is a tie in depth, which a piece can break the other way: there the
// count above is the bound.
constexpr int PICTURE_LARGEST = 24;

// The ground alone, lit but without its picture: no pixel beyond this many
// levels. The planner holds pieces to one level at its samples; the
// rasteriser rounds the interpolated colours of cells and pieces apart.
constexpr int GROUND_LIGHT_LARGEST = 3;
struct FrameDifference {
  long differing = 0;
  long beyondTolerance = 0;
  int largest = 0;
  long pixels = 0;
};
FrameDifference compareFrames(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// As compareFrames, over the pixels that are not the clear colour (black) in either.
FrameDifference compareCovered(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// One frame through each path from the current state, compared; leaves the
// state as it found it.
FrameDifference compareFrame();

// How the ground is looked at in a comparison.
enum class GroundLook {
  AsDrawn,    // lit and textured, as the frame draws it
  LightOnly,  // lit, without its picture: the vertex lighting as OpenGL interpolates it
  Coverage,   // unlit and untextured, in white: which pixels it covers
};

// A drawing that draws the ground alone, through `inner`, looked at as
// `look`; every object is left out (the kart lamps are placed all the same:
// the karts place them before they draw).
class GroundOnlyDrawing : public ObjectDrawing {
 public:
  GroundOnlyDrawing(ObjectDrawing& inner, GroundLook look) : inner_(inner), look_(look) {}
  void drawObject(const SceneObject&) override {}
  void drawGroundCells() override;

 private:
  ObjectDrawing& inner_;
  GroundLook look_;
};

// Reads the back buffer over the viewport (RGBA, bottom row first).
std::vector<unsigned char> readViewport();

// Pixels that are the clear colour (black) in one picture and not in the other.
long coverageDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// The frame's ground alone, from the current state, through each path as
// `look` shows it, compared over the pixels both cover; leaves the state as
// it found it. With GroundLook::Coverage, `differing` counts the pixels
// covered by one and not the other.
FrameDifference compareGroundOfFrame(GroundLook look);

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
