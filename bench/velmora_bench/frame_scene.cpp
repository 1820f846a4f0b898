// Poses, drawing passes and their comparison for the frame section.
#include "bench/velmora_bench/frame_scene.h"

#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "app/camera.h"
#include "app/menu.h"
#include "app/picking.h"
#include "scene/frame.h"
#include "scene/kart.h"
#include "scene/signboard.h"

const char* poseName(Pose pose) {
  switch (pose) {
    case Pose::Start: return "start pose";
    case Pose::Bench: return "bench pose";
    case Pose::CarView: return "car view";
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
  }
}

PassState capturePassState() { return PassState{sceneState, curveKartState(), signboardFrame()}; }

void restorePassState(const PassState& state) {
  sceneState = state.scene;
  curveKartState() = state.kart;
  setSignboardFrame(state.signFrame);
}

std::vector<unsigned char> drawAndReadFrame(DrawPath path) {
  const DrawPath before = drawPath();
  setDrawPath(path);
  drawFrame();
  setDrawPath(before);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<unsigned char> pixels(static_cast<std::size_t>(viewport[2]) * viewport[3] * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(viewport[0], viewport[1], viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

long differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  if (a.size() != b.size()) return -1;
  long count = 0;
  for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
    if (std::memcmp(&a[i], &b[i], 4) != 0) ++count;
  }
  return count;
}

long compareFrame() {
  const PassState state = capturePassState();
  // A first pass leaves the kart lamps where this state's last kart puts them,
  // so that both compared passes start from the same light positions.
  drawFrame();
  restorePassState(state);
  const std::vector<unsigned char> reference = drawAndReadFrame(DrawPath::Reference);
  restorePassState(state);
  const std::vector<unsigned char> culled = drawAndReadFrame(DrawPath::Culled);
  restorePassState(state);
  return differingPixels(reference, culled);
}

PickRecords pickThrough(DrawPath path, int x, int y) {
  const DrawPath before = drawPath();
  setDrawPath(path);
  PickRecords result;
  result.hits = -2;  // not run
  pickAt(x, y);
  setDrawPath(before);
  result.hits = lastPickHitCount();
  const GLuint* records = lastPickRecords();
  int pos = 0;
  for (int hit = 0; hit < result.hits && pos < SELECT_BUFFER_SIZE; ++hit) {
    const int size = 3 + static_cast<int>(records[pos]);
    for (int w = 0; w < size && pos + w < SELECT_BUFFER_SIZE; ++w) result.words.push_back(records[pos + w]);
    pos += size;
  }
  return result;
}

const char* pickNames(const PickRecords& records) {
  static std::string text;
  std::set<GLuint> names;
  std::size_t pos = 0;
  for (int hit = 0; hit < records.hits && pos < records.words.size(); ++hit) {
    const GLuint count = records.words[pos];
    for (GLuint n = 0; n < count && pos + 3 + n < records.words.size(); ++n) names.insert(records.words[pos + 3 + n]);
    pos += 3 + count;
  }
  text.clear();
  for (GLuint name : names) text += (text.empty() ? "" : ",") + std::to_string(name);
  if (text.empty()) text = "-";
  return text.c_str();
}

bool projectToWindow(double x, double y, double z, int* wx, int* wy) {
  SceneState copy = sceneState;  // the free camera writes cameraDir; leave the real state alone
  LookAt view;
  if (copy.carView) {
    view = carViewLookAt(6 * std::cos(copy.spinAngle * DEG_TO_RAD), 0.33, 6 * std::sin(copy.spinAngle * DEG_TO_RAD));
  } else {
    view = freeCameraLookAt(copy);
  }
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(view.eye[0], view.eye[1], view.eye[2], view.center[0], view.center[1], view.center[2], view.up[0],
            view.up[1], view.up[2]);
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
