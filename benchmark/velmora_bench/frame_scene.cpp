// Poses and pick spots for the frame section.
#include "benchmark/velmora_bench/frame_scene.h"

#include <GL/glu.h>

#include <cmath>
#include <set>
#include <string>

#include "app/menu.h"
#include "app/shell/picking.h"
#include "scene/frame.h"

const char* poseName(Pose pose) {
  switch (pose) {
    case Pose::Start: return "start pose";
    case Pose::Bench: return "bench pose";
    case Pose::CarView: return "car view";
    case Pose::Night: return "night (sun off, headlight on)";
  }
  return "?";
}

void enterPose(Pose pose) {
  switch (pose) {
    case Pose::Start:
      runMenuCommand(CMD_FREE_MOVEMENT);
      runMenuCommand(CMD_BACK_TO_START);
      break;
    case Pose::Bench: runMenuCommand(CMD_BENCH_VIEW); break;
    case Pose::CarView: runMenuCommand(CMD_CAR_VIEW); break;
    case Pose::Night:
      enterPose(Pose::Start);
      runMenuCommand(CMD_TOGGLE_SUN);
      runMenuCommand(CMD_TOGGLE_HEADLIGHT);
      break;
  }
}

void leavePose(Pose pose) {
  if (pose != Pose::Night) return;
  // The sun last, so that the ambient colour is the sun's again, as after start-up.
  runMenuCommand(CMD_TOGGLE_HEADLIGHT);
  runMenuCommand(CMD_TOGGLE_SUN);
}

const char* pickNames(const PickRecords& records) {
  static std::string text;
  std::set<GLuint> names;
  for (const HitRecord& record :
       readHitRecords(records.words.data(), records.hits, static_cast<int>(records.words.size()))) {
    names.insert(record.names.begin(), record.names.end());
  }
  text.clear();
  for (GLuint name : names) text += (text.empty() ? "" : ",") + std::to_string(name);
  if (text.empty()) text = "-";
  return text.c_str();
}

bool projectToWindow(double x, double y, double z, int* wx, int* wy) {
  const SceneState saved = sceneState;  // the free camera writes cameraDir; leave the state as it was
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  placeCamera();
  sceneState = saved;
  GLdouble modelview[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glPopMatrix();
  GLdouble px, py, pz;
  if (gluProject(x, y, z, modelview, projection, viewport, &px, &py, &pz) != GL_TRUE) return false;
  *wx = static_cast<int>(std::floor(px));
  *wy = static_cast<int>(std::floor(py));
  return pz > 0 && pz < 1 && *wx >= viewport[0] && *wy >= viewport[1] && *wx < viewport[0] + viewport[2] &&
         *wy < viewport[1] + viewport[3];
}
