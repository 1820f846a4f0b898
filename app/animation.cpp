// The idle step: the animation advances by one fixed step per idle call.
#include "app/animation.h"

#include "app/scene_state.h"
#include "math/curve.h"

namespace {
constexpr float CURVE_STEP = 0.03f;
constexpr float CURVE_LENGTH = 8.0f;
constexpr double SPIN_STEP = 0.5;
constexpr double SUN_STEP = 5.0;
}  // namespace

void stepAnimation(SceneState& state) {
  // The parameter is re-wrapped even when the kart stands, which keeps it in [0, 8).
  const float next = state.curveAnimationOn ? state.curveParam + CURVE_STEP : state.curveParam;
  state.curveParam = wrapRange(next, 0, CURVE_LENGTH);

  if (state.gyrationOn) state.spinAngle += SPIN_STEP;
  state.sunAngle += SUN_STEP;

  // The colour follows the angle before it wraps, so 360 -> 365 gives red 21.9.
  // Values above 1 are meant: OpenGL clamps only the lit result.
  const float red = static_cast<float>(0.06 * state.sunAngle);
  state.lightColor[0] = red;
  state.lightColor[1] = red + 10;
  state.lightColor[2] = 0.9f;

  if (state.spinAngle > 360) state.spinAngle -= 360;
  if (state.sunAngle > 360) state.sunAngle -= 360;
}
