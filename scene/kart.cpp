// The go-karts: the lazily read model, one placed kart, and the kart on the curve.
#include "scene/kart.h"

#include <GL/gl.h>

#include "app/lighting.h"
#include "app/menu.h"
#include "app/scene_state.h"
#include "math/curve.h"
#include "scene/kart_lap.h"
#include "scene/lazy_model.h"
#include "scene/pick_names.h"

namespace {
LazyModel kartModel;
CurveKartState curveKart;
}  // namespace

CurveKartState& curveKartState() { return curveKart; }

void drawKartModel() { drawLazyModel(KART_MODEL_PATH, kartModel, ObjectKind::KART); }

void drawKart(double x, double y, double z, double heading) {
  glPushMatrix();
  glScalef(KART_SCALE, KART_SCALE, KART_SCALE);
  glTranslated(x, y, z);
  if (heading != 0) glRotated(heading, 0, 1, 0);
  // Each kart moves the lamps into its own frame; the last kart drawn keeps them.
  placeKartLights();
  drawKartModel();
  glPopMatrix();
}

void drawKartOnCurve() {
  const CVector3D position = curvePoint(CURVE_CONTROL_POINTS, CURVE_POINT_COUNT, sceneState.curveParam);
  if (stepCurveKart(curveKart, position, sceneState)) toggleCurveAnimation();
  glLoadName(PICK_NAME_CURVE_KART);
  glPushMatrix();
  drawKart(position.x, position.y, position.z, curveKart.kartHeading);
  glPopMatrix();
}
