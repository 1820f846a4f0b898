// The curve kart's lap: it counts how often the integer parts of its x and z
// change, starts a 90-degree turn at eight fixed counts, turns 6 degrees per
// drawing pass, and stops itself at the end of the lap.
#pragma once

#include "math/vector3d.h"

struct SceneState;

constexpr int CURVE_POINT_COUNT = 8;
constexpr float TURN_STEP = 6.0f;  // degrees of heading per drawing pass while a turn runs
constexpr int TURN_EVENT_COUNT = 8;

// The lap's closed curve, in kart space (1 / 0.6 times the world): west,
// north, east, south, east, north, east, south, a clockwise loop from above.
extern const CVector3D CURVE_CONTROL_POINTS[CURVE_POINT_COUNT];

struct TurnEvent {
  bool countsX;  // which counter: crossings of x (true) or of z
  int count;     // fires when that counter equals this
  bool right;    // right turns decrease the heading
};

// Six right and two left turns: -360 degrees, one clockwise loop.
constexpr TurnEvent TURN_EVENTS[TURN_EVENT_COUNT] = {
    {true, 25, true}, {false, 27, true}, {true, 35, true},  {false, 37, false},
    {true, 45, false}, {false, 47, true}, {true, 57, true}, {false, 67, true},
};

struct CurveKartState {
  float kartHeading = 0;  // degrees about +y; 0 on the first leg, driving towards -x
  float turnProgress = 0;
  float turnStartHeading = 0;
  int lastCellX = 0;
  int lastCellZ = 0;
  int crossingsX = 0;
  int crossingsZ = 0;
  bool turnFired[TURN_EVENT_COUNT] = {};
  bool turningRight = false;
  bool turningLeft = false;
};

// One drawing pass of the lap logic at `position`, the kart's point on the
// curve. At the end of the lap it resets `kart`, sets the scene's curve
// parameter to 0 and returns true; the caller then switches the animation off.
bool stepCurveKart(CurveKartState& kart, const CVector3D& position, SceneState& scene);
