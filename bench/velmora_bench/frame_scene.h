// The frame section's handles on the scene: poses, the state one drawing pass
// advances, frames and picks drawn through either path and compared.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "app/scene_state.h"
#include "scene/draw_path.h"
#include "scene/kart_lap.h"

enum class Pose { Start, Bench, CarView };
constexpr Pose ALL_POSES[] = {Pose::Start, Pose::Bench, Pose::CarView};

const char* poseName(Pose pose);

// Puts the camera in `pose` through the menu commands a user would choose.
void enterPose(Pose pose);

// Everything a drawing pass reads or advances outside GL: the scene state,
// the curve kart's lap and the signboard's picture counter.
struct PassState {
  SceneState scene;
  CurveKartState kart;
  int signFrame = 0;
};
PassState capturePassState();
void restorePassState(const PassState& state);

// The frame as `display` draws it, without the swap, read back from the back buffer.
std::vector<unsigned char> drawAndReadFrame(DrawPath path);

// Pixels that differ between two read-back frames of the same size.
long differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// One frame through each path from the same state; returns the differing
// pixel count and leaves the state as it found it.
long compareFrame();

// A pick's outcome: the hit count and the records' words.
struct PickRecords {
  int hits = 0;
  std::vector<GLuint> words;
  bool operator==(const PickRecords& other) const { return hits == other.hits && words == other.words; }
};
PickRecords pickThrough(DrawPath path, int x, int y);

// The names in a pick's records, for printing ("1,2").
const char* pickNames(const PickRecords& records);

// The window pixel (origin bottom left) that the world point shows at in the
// current pose's frame.
bool projectToWindow(double x, double y, double z, int* wx, int* wy);
