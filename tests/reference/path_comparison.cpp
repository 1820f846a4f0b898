// The culled drawing path against the straightforward one, from the same scene state.
#include "tests/reference/path_comparison.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "app/menu.h"
#include "app/shell/picking.h"
#include "scene/frame.h"
#include "scene/kart.h"
#include "scene/signboard.h"

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
  return readViewport();
}

std::vector<unsigned char> readViewport() {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<unsigned char> pixels(static_cast<std::size_t>(viewport[2]) * viewport[3] * 4);
  // Under Xvfb the front buffer reads as zeros after a swap; the frame is in the back.
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(viewport[0], viewport[1], viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

namespace {

bool isClear(const std::vector<unsigned char>& p, std::size_t i) { return (p[i] | p[i + 1] | p[i + 2]) == 0; }

FrameDifference compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, bool coveredOnly) {
  FrameDifference result;
  if (a.size() != b.size()) return {-1, -1, -1, -1};
  for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
    if (coveredOnly && (isClear(a, i) || isClear(b, i))) continue;
    ++result.pixels;
    if (std::memcmp(&a[i], &b[i], 4) == 0) continue;
    ++result.differing;
    int largest = 0;
    for (int c = 0; c < 4; ++c) largest = std::max(largest, std::abs(int(a[i + c]) - int(b[i + c])));
    if (largest > PICTURE_TOLERANCE) ++result.beyondTolerance;
    result.largest = std::max(result.largest, largest);
  }
  return result;
}

}  // namespace

FrameDifference compareFrames(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  return compare(a, b, false);
}

FrameDifference compareCovered(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  return compare(a, b, true);
}

FrameDifference compareFrame() {
  const PassState state = capturePassState();
  // A first pass leaves the kart lamps where this state's last kart puts them,
  // so that both compared passes start from the same light positions.
  drawFrame();
  restorePassState(state);
  const std::vector<unsigned char> reference = drawAndReadFrame(DrawPath::Reference);
  restorePassState(state);
  const std::vector<unsigned char> culled = drawAndReadFrame(DrawPath::Culled);
  restorePassState(state);
  return compareFrames(reference, culled);
}

void GroundOnlyDrawing::drawGroundCells() {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  if (look_ != GroundLook::AsDrawn) glDisable(GL_TEXTURE_2D);
  if (look_ == GroundLook::Coverage) {
    glDisable(GL_LIGHTING);
    glColor4f(1, 1, 1, 1);
  }
  inner_.drawGroundCells();
  glPopAttrib();
}

long coverageDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  if (a.size() != b.size()) return -1;
  long differing = 0;
  for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
    if (isClear(a, i) != isClear(b, i)) ++differing;
  }
  return differing;
}

FrameDifference compareGroundOfFrame(GroundLook look) {
  const PassState state = capturePassState();
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glClearColor(0, 0, 0, 0);
  std::vector<unsigned char> pictures[2];
  ObjectDrawing* const inners[2] = {&referenceDrawing(), &culledDrawing()};
  for (int p = 0; p < 2; ++p) {
    GroundOnlyDrawing ground(*inners[p], look);
    ObjectDrawing* const before = setObjectDrawing(&ground);
    // As compareFrame: a first pass puts the kart lamps where this state's last kart leaves them.
    drawFrame();
    restorePassState(state);
    drawFrame();
    setObjectDrawing(before);
    restorePassState(state);
    pictures[p] = readViewport();
  }
  glClearColor(clear[0], clear[1], clear[2], clear[3]);
  FrameDifference difference = compareCovered(pictures[0], pictures[1]);
  if (look == GroundLook::Coverage) difference.differing = coverageDifference(pictures[0], pictures[1]);
  return difference;
}

void applyLightSetting(int setting) {
  const int commands[] = {CMD_TOGGLE_SUN, CMD_TOGGLE_SUN_MOVING, CMD_TOGGLE_COLOR_CHANGE, CMD_TOGGLE_HEADLIGHT,
                          CMD_TOGGLE_KART_LIGHTS};
  for (int bit = 0; bit < 5; ++bit) {
    if (setting & (1 << bit)) runMenuCommand(commands[bit]);
  }
}

void placeRandomGroundCamera(std::mt19937& random) {
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  const double heights[] = {0.05, 0.3, 0.5, 0.5, 1, 2, 6};
  sceneState.carView = uniform(0, 1) < 0.2;
  sceneState.cameraPos = {uniform(-40, 40), heights[random() % std::size(heights)] - 0.5, uniform(-40, 40)};
  // Half of them among the objects in the middle.
  if (uniform(0, 1) < 0.5) sceneState.cameraPos = {uniform(-6, 6), sceneState.cameraPos.y, uniform(-6, 8)};
  sceneState.cameraYaw = uniform(-360, 360);
  sceneState.cameraPitch = uniform(-75, 30);
  sceneState.spinAngle = uniform(0, 360);
  sceneState.sunAngle = uniform(0, 360);
  // The colour as the idle step leaves it at this angle.
  sceneState.lightColor[0] = static_cast<float>(0.06 * sceneState.sunAngle);
  sceneState.lightColor[1] = sceneState.lightColor[0] + 10;
  sceneState.curveParam = static_cast<float>(uniform(0, 8));
}

PickRecords pickThrough(DrawPath path, int x, int y) {
  const DrawPath before = drawPath();
  setDrawPath(path);
  const PickHits hits = selectAt(x, y);
  setDrawPath(before);
  PickRecords result;
  result.hits = hits.count;
  for (const HitRecord& record : hits.records) {
    result.words.push_back(static_cast<GLuint>(record.names.size()));
    result.words.push_back(record.depthMin);
    result.words.push_back(record.depthMax);
    result.words.insert(result.words.end(), record.names.begin(), record.names.end());
  }
  return result;
}
