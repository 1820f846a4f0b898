// The curve kart's lap logic: crossings, turn events, turning, end of lap.
#include "scene/kart_lap.h"

#include "app/scene_state.h"
#include "scene/kart.h"

// On the ground: every point at the karts' centre height.
const CVector3D CURVE_CONTROL_POINTS[CURVE_POINT_COUNT] = {
    {0, KART_STAND_HEIGHT, -10},   {-25, KART_STAND_HEIGHT, -10}, {-30, KART_STAND_HEIGHT, -30},
    {-20, KART_STAND_HEIGHT, -30}, {-20, KART_STAND_HEIGHT, -20}, {-10, KART_STAND_HEIGHT, -20},
    {-10, KART_STAND_HEIGHT, -30}, {0, KART_STAND_HEIGHT, -30},
};

bool stepCurveKart(CurveKartState& kart, const CVector3D& position, SceneState& scene) {
  // ---- Crossings: a change of the integer part counts once, however far it jumped.
  const int cellX = static_cast<int>(position.x);
  const int cellZ = static_cast<int>(position.z);
  if (cellX != kart.lastCellX) {
    ++kart.crossingsX;
    kart.lastCellX = cellX;
  }
  if (cellZ != kart.lastCellZ) {
    ++kart.crossingsZ;
    kart.lastCellZ = cellZ;
  }

  // ---- Turn events, each once per lap.
  for (int e = 0; e < TURN_EVENT_COUNT; ++e) {
    const TurnEvent& event = TURN_EVENTS[e];
    const int counter = event.countsX ? kart.crossingsX : kart.crossingsZ;
    if (counter == event.count && !kart.turnFired[e]) {
      (event.right ? kart.turningRight : kart.turningLeft) = true;
      kart.turnFired[e] = true;
      kart.turnProgress = 0;
      kart.turnStartHeading = kart.kartHeading;
    }
  }

  // ---- End of lap: the last turn has fired and the kart is back near its start.
  bool lapEnded = false;
  if (kart.turnFired[TURN_EVENT_COUNT - 1] && position.x < 0 && position.z > -10) {
    kart = CurveKartState{};
    scene.curveParam = 0;
    lapEnded = true;
  }

  // ---- Turning. A turn reaches exactly 90 degrees in 15 passes; the 16th ends
  // it and pins the heading to the exact quarter turn.
  if (kart.turningRight) {
    kart.kartHeading -= TURN_STEP;
    kart.turnProgress += TURN_STEP;
    if (kart.turnProgress > 90) {
      kart.turningRight = false;
      kart.kartHeading = kart.turnStartHeading - 90;
    }
  }
  if (kart.turningLeft) {
    kart.kartHeading += TURN_STEP;
    kart.turnProgress += TURN_STEP;
    if (kart.turnProgress > 90) {
      kart.turningLeft = false;
      kart.kartHeading = kart.turnStartHeading + 90;
    }
  }
  return lapEnded;
}
