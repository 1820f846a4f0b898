// The frame section: start-up to the first frame, frames from three poses,
// the floor and the ground alone, and picks, each through the culled path
// beside the straightforward reference, with the bit-identity checks.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/animation.h"
#include "app/menu.h"
#include "app/shell/picking.h"
#include "app/shell/shell.h"
#include "app/shell/window.h"
#include "benchmark/velmora_bench/bench_figures.h"
#include "benchmark/velmora_bench/frame_parts.h"
#include "benchmark/velmora_bench/frame_scene.h"
#include "benchmark/velmora_bench/frame_timing.h"
#include "benchmark/velmora_bench/frame_window.h"
#include "glm/glm.h"
#include "image/image.h"
#include "image/texture_loader.h"
#include "math/curve.h"
#include "scene/frame.h"
#include "scene/grass.h"
#include "scene/ground.h"
#include "scene/kart.h"

namespace {

// The models' road once more, step by step, on fresh copies.
void printModelBreakdown() {
  for (const char* path : {KART_MODEL_PATH, GRASS_MODEL_PATH}) {
    const auto t0 = BenchClock::now();
    ObjModel* model = glmReadOBJ(path);
    const auto t1 = BenchClock::now();
    glmFitToUnitCube(model);
    glmScaleVertices(model, 2.0f);
    glmComputeFacetNormals(model);
    glmVertexNormals(model, 90.0f);
    const auto t2 = BenchClock::now();
    const GLuint list = glmCompileList(model, DRAW_SMOOTH | DRAW_MATERIAL);
    glFinish();
    const auto t3 = BenchClock::now();
    std::printf("  %-40s read %7.1f ms  prepare %6.1f ms  compile %6.1f ms  (%u triangles)\n", path,
                millisecondsBetween(t0, t1), millisecondsBetween(t1, t2), millisecondsBetween(t2, t3), model->ntris);
    glDeleteLists(list, 1);
    glmDelete(model);
  }
}

// The scene's pictures decoded once more, without upload: the program's own
// share of initScene's texture loading.
double decodeScenePicturesMs() {
  const char* const files[] = {"data/skybox/pos_z.bmp", "data/skybox/pos_x.bmp", "data/skybox/neg_x.bmp",
                               "data/skybox/neg_z.bmp", "data/skybox/pos_y.bmp", "data/skybox/neg_y.bmp",
                               "data/wood1.bmp",        "data/concrete.bmp"};
  CTextureLoader registry;
  const auto t0 = BenchClock::now();
  auto decode = [&registry](const char* name) {
    CImage* image = nullptr;
    if (registry.Load(name, &image)) delete image;
  };
  for (const char* name : files) decode(name);
  for (int k = 1; k <= 10; ++k) decode(("data/cactus" + std::to_string(k) + ".tga").c_str());
  return millisecondsBetween(t0, BenchClock::now());
}

// ---- Frame series.

struct SeriesPlan {
  int warmup;
  int frames;
};

// Wall and CPU time of a series of frames.
struct FrameSeries {
  Series wall;
  Series cpu;
  double median() const { return wall.median(); }
  double p95() const { return wall.p95(); }
};

// One frame drawn and timed to glFinish, into `series`.
template <typename Draw>
void timeFrame(Draw draw, FrameSeries& series, bool keep) {
  glFinish();
  const double cpu0 = processCpuMilliseconds();
  const auto t0 = BenchClock::now();
  draw();
  glFinish();
  const auto t1 = BenchClock::now();
  const double cpu1 = processCpuMilliseconds();
  if (!keep) return;
  series.wall.add(millisecondsBetween(t0, t1));
  series.cpu.add(cpu1 - cpu0);
}

// `frames` frames drawn with display (which swaps), each timed to glFinish,
// with the idle step between them; starts from `state` and leaves it there.
template <typename Draw>
FrameSeries timeFrames(const SeriesPlan& plan, const PassState& state, Draw draw) {
  restorePassState(state);
  FrameSeries series;
  for (int i = 0; i < plan.warmup + plan.frames; ++i) {
    stepAnimation(sceneState);
    timeFrame(draw, series, i >= plan.warmup);
  }
  restorePassState(state);
  return series;
}

// Two ways of drawing the same frames, taking turns frame by frame from the
// same state after each idle step, so that whatever else the machine does
// weighs on both alike: the ratio of their medians is what this run can tell.
template <typename DrawA, typename DrawB>
std::pair<FrameSeries, FrameSeries> timeFramesSideBySide(const SeriesPlan& plan, const PassState& state, DrawA drawA,
                                                          DrawB drawB) {
  restorePassState(state);
  std::pair<FrameSeries, FrameSeries> series;
  for (int i = 0; i < plan.warmup + plan.frames; ++i) {
    stepAnimation(sceneState);
    const PassState step = capturePassState();
    timeFrame(drawA, series.first, i >= plan.warmup);
    restorePassState(step);
    timeFrame(drawB, series.second, i >= plan.warmup);
  }
  restorePassState(state);
  return series;
}

// Several ways of drawing the same frames, taking turns as above.
std::vector<FrameSeries> timeFramesInTurn(const SeriesPlan& plan, const PassState& state,
                                          const std::vector<std::function<void()>>& draws) {
  restorePassState(state);
  std::vector<FrameSeries> series(draws.size());
  for (int i = 0; i < plan.warmup + plan.frames; ++i) {
    stepAnimation(sceneState);
    const PassState step = capturePassState();
    for (std::size_t d = 0; d < draws.size(); ++d) {
      restorePassState(step);
      timeFrame(draws[d], series[d], i >= plan.warmup);
    }
  }
  restorePassState(state);
  return series;
}

void displayThrough(DrawPath path) {
  setDrawPath(path);
  display();
  setDrawPath(DrawPath::Culled);
}

// Names of the switches a light setting turns from the start-up state.
std::string lightSettingName(int setting) {
  static const char* const names[] = {"sun off", "moving sun", "colour change", "headlight", "lamps off"};
  std::string text;
  for (int bit = 0; bit < 5; ++bit) {
    if (setting & (1 << bit)) text += std::string(text.empty() ? "" : ", ") + names[bit];
  }
  return text.empty() ? "start-up lights" : text;
}

// Back to the start-up lights after applyLightSetting(setting).
void undoLightSetting(int setting) {
  applyLightSetting(setting);
  runMenuCommand(CMD_TOGGLE_SUN);  // the sun's ambient colour last, as at start-up
  runMenuCommand(CMD_TOGGLE_SUN);
}

void printPartsOfFrame(const std::vector<FrameSeries>& parts, const std::vector<PipelineCounts>& counts,
                       const std::vector<long>& pixels, const FrameSeries& culled) {
  std::printf("  where the culled frame's time goes (each part drawn alone; its own time = alone - empty frame):\n");
  const double empty = parts[0].median(), emptyCpu = parts[0].cpu.median();
  double sum = empty, sumCpu = emptyCpu;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    const double own = p == 0 ? empty : parts[p].median() - empty;
    const double ownCpu = p == 0 ? emptyCpu : parts[p].cpu.median() - emptyCpu;
    if (p > 0) {
      sum += own;
      sumCpu += ownCpu;
    }
    std::printf(
        "    %-30s alone %6.2f ms  p95 %6.2f  own %6.2f ms  cpu own %6.2f ms  vertices shaded %6lld  "
        "triangles %6lld  pixels %7ld\n",
        framePartName(FRAME_PARTS[p]), parts[p].median(), parts[p].p95(), own, ownCpu, counts[p].verticesShaded,
        counts[p].primitives, pixels[p]);
  }
  std::printf("    %-32s %6.2f ms (cpu %6.2f) against the whole frame's %6.2f ms (cpu %6.2f)\n", "sum of the parts",
              sum, sumCpu, culled.median(), culled.cpu.median());
}

void clearAndSwap() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  swapBuffers();
}

// The ground alone under the frame's camera and lights, then the swap.
void groundAlone(DrawPath path) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPushMatrix();
  placeLightsAndCamera();
  glTranslated(0, 0, 2);
  if (path == DrawPath::Reference) {
    drawGroundImmediate();
  } else {
    drawGround();
  }
  glPopMatrix();
  swapBuffers();
}

void printSeries(const char* label, const FrameSeries& series) {
  std::printf("  %-34s median %7.2f ms  p95 %7.2f ms  cpu %7.2f ms\n", label, series.median(), series.p95(),
              series.cpu.median());
}

// ---- Picks.

// A pixel where a pick finds the curve kart: the kart's projected centre may
// be open air, so look around it.
void findKartPixel(int* x, int* y) {
  const CVector3D kart = curvePoint(CURVE_CONTROL_POINTS, CURVE_POINT_COUNT, sceneState.curveParam);
  int cx = 0, cy = 0;
  projectToWindow(KART_SCALE * kart.x, KART_SCALE * kart.y, KART_SCALE * kart.z, &cx, &cy);
  *x = cx;
  *y = cy;
  const PassState state = capturePassState();
  for (int radius = 0; radius <= 40; radius += 4) {
    for (int dy = -radius; dy <= radius; dy += 4) {
      for (int dx = -radius; dx <= radius; dx += 4) {
        if (std::max(std::abs(dx), std::abs(dy)) != radius) continue;
        const PickRecords records = pickThrough(DrawPath::Culled, cx + dx, cy + dy);
        restorePassState(state);
        if (std::string(pickNames(records)) == "1,2") {
          *x = cx + dx;
          *y = cy + dy;
          return;
        }
      }
    }
  }
}

struct PickSpot {
  const char* name;
  int x, y;  // window pixel, origin bottom left
};

}  // namespace

void runFrameSection(const BenchOptions& options, BenchFigures& figures) {
  std::printf("== frame section: %dx%d window, %d frames per series\n", WINDOW_WIDTH, WINDOW_HEIGHT, options.frames);
  const StartupTimes startup = startUpLikeTheProgram();
  std::printf("start-up to the first frame drawn: %.1f ms\n", startup.total);
  std::printf("  window and callbacks %.1f ms, initScene (textures) %.1f ms, reshape and first frame (models) %.1f ms\n",
              startup.window, startup.initScene, startup.firstFrame);
  figures.startupMs = startup.total;
  std::printf("  of the first frame: display to glFinish %.1f ms; the next three displays %.1f, %.1f, %.1f ms\n",
              startup.firstDisplay, startup.nextDisplays[0], startup.nextDisplays[1], startup.nextDisplays[2]);
  std::printf("  the scene's pictures decoded again without upload: %.1f ms (the program's share of initScene)\n",
              decodeScenePicturesMs());

  const SeriesPlan plan{options.quick ? 3 : 20, options.frames};
  const PassState startState = capturePassState();

  std::printf("frames (display with swap, timed to glFinish; idle step between frames):\n");
  const FrameSeries floor = timeFrames(plan, startState, clearAndSwap);
  printSeries("clear and swap (floor)", floor);
  figures.floorMs = floor.median();

  bool identical = true;
  for (Pose pose : ALL_POSES) {
    restorePassState(startState);
    enterPose(pose);
    const PassState poseState = capturePassState();
    std::vector<std::function<void()>> draws = {[] { displayThrough(DrawPath::Reference); },
                                                [] { displayThrough(DrawPath::Culled); }};
    for (unsigned part : FRAME_PARTS) draws.push_back([part] { displayParts(part); });
    const std::vector<FrameSeries> turns = timeFramesInTurn(plan, poseState, draws);
    const FrameSeries& reference = turns[0];
    const FrameSeries& culled = turns[1];
    const std::vector<FrameSeries> parts(turns.begin() + 2, turns.end());
    std::vector<PipelineCounts> counts;
    std::vector<long> pixels;
    for (unsigned part : FRAME_PARTS) {
      restorePassState(poseState);
      counts.push_back(countPipeline(displayParts, part));
      restorePassState(poseState);
      pixels.push_back(pixelsDrawn(part));
    }
    restorePassState(poseState);
    const auto [groundReference, groundCulled] = timeFramesSideBySide(
        plan, poseState, [] { groundAlone(DrawPath::Reference); }, [] { groundAlone(DrawPath::Culled); });
    restorePassState(poseState);
    const FrameDifference difference = compareFrame();
    if (difference.beyondTolerance * 1000 > difference.pixels) identical = false;
    std::printf(" %s:\n", poseName(pose));
    printSeries("full frame, reference", reference);
    printSeries("full frame, culled", culled);
    std::printf("  %-34s %ld (%ld beyond %d levels, largest %d)\n", "differing pixels", difference.differing,
                difference.beyondTolerance, PICTURE_TOLERANCE, difference.largest);
    std::printf("  %-34s %.2f wall, %.2f cpu\n", "culled / reference", culled.median() / reference.median(),
                culled.cpu.median() / reference.cpu.median());
    printPartsOfFrame(parts, counts, pixels, culled);
    printSeries("ground alone, immediate mode", groundReference);
    printSeries("ground alone, culled", groundCulled);
    if (pose == Pose::Start) {
      figures.frameMs = culled.median();
      figures.groundMs = groundReference.median();
    }
    leavePose(pose);
  }

  // Every light setting the menu can reach, from each camera pose (the night
  // pose is the start pose's "sun off, headlight"): fewer frames per series.
  const SeriesPlan lightPlan{options.quick ? 2 : 5, std::max(3, options.frames / 4)};
  std::printf(
      "every light setting, %d frames each: culled median ms, its ratio to the straightforward frame's "
      "(wall, cpu), culled p95 ms, pixels beyond %d levels\n",
      lightPlan.frames, PICTURE_TOLERANCE);
  std::printf("  %-42s", "setting");
  const Pose cameraPoses[] = {Pose::Start, Pose::Bench, Pose::CarView};
  for (Pose pose : cameraPoses) std::printf(" | %-30s", poseName(pose));
  std::printf("\n");
  double worstRatio = 0, worstCpuRatio = 0, worstP95 = 0;
  for (int setting = 0; setting < LIGHT_SETTINGS; ++setting) {
    std::printf("  %2d %-39s", setting, lightSettingName(setting).c_str());
    for (Pose pose : cameraPoses) {
      restorePassState(startState);
      enterPose(pose);
      applyLightSetting(setting);
      const PassState state = capturePassState();
      const auto [reference, culled] = timeFramesSideBySide(
          lightPlan, state, [] { displayThrough(DrawPath::Reference); }, [] { displayThrough(DrawPath::Culled); });
      restorePassState(state);
      const FrameDifference difference = compareFrame();
      if (difference.beyondTolerance * 1000 > difference.pixels) identical = false;
      const double ratio = culled.median() / reference.median();
      const double cpuRatio = culled.cpu.median() / reference.cpu.median();
      worstRatio = std::max(worstRatio, ratio);
      worstCpuRatio = std::max(worstCpuRatio, cpuRatio);
      worstP95 = std::max(worstP95, culled.p95());
      std::printf(" | %5.1f %4.2f %4.2f %5.1f %4ld", culled.median(), ratio, cpuRatio, culled.p95(),
                  difference.beyondTolerance);
      std::fflush(stdout);
      undoLightSetting(setting);
      leavePose(pose);
    }
    std::printf("\n");
  }
  std::printf("  worst over the settings and poses: ratio %.2f wall, %.2f cpu; p95 %.2f ms\n", worstRatio,
              worstCpuRatio, worstP95);
  restorePassState(startState);

  // Picks from the start pose, the curve kart on its first leg.
  restorePassState(startState);
  enterPose(Pose::Start);
  sceneState.curveParam = 0.3f;
  const PassState pickState = capturePassState();
  PickSpot spots[] = {{"curve kart", 0, 0}, {"signboard", 0, 0}, {"ground", 650, 150}, {"sky", 100, 950}};
  findKartPixel(&spots[0].x, &spots[0].y);
  projectToWindow(0.05, 2.2, 2.0, &spots[1].x, &spots[1].y);  // the board's edge facing the start pose
  restorePassState(pickState);
  std::printf("picks (start pose, one pick each, timed to its hit count):\n");
  Series allCulled;
  for (const PickSpot& spot : spots) {
    Series reference, culled;
    PickRecords referenceRecords, culledRecords;
    const int picks = options.quick ? 3 : 30;
    for (int i = 0; i < picks; ++i) {
      restorePassState(pickState);
      auto t0 = BenchClock::now();
      referenceRecords = pickThrough(DrawPath::Reference, spot.x, spot.y);
      auto t1 = BenchClock::now();
      reference.add(millisecondsBetween(t0, t1));
      restorePassState(pickState);
      t0 = BenchClock::now();
      culledRecords = pickThrough(DrawPath::Culled, spot.x, spot.y);
      t1 = BenchClock::now();
      culled.add(millisecondsBetween(t0, t1));
      allCulled.add(millisecondsBetween(t0, t1));
      if (!(referenceRecords == culledRecords)) identical = false;
    }
    std::printf("  %-10s at (%4d, %4d): reference median %7.2f p95 %7.2f ms | culled median %6.3f p95 %6.3f ms | "
                "hits %d names %s | records %s\n",
                spot.name, spot.x, spot.y, reference.median(), reference.p95(), culled.median(), culled.p95(),
                culledRecords.hits, pickNames(culledRecords), referenceRecords == culledRecords ? "equal" : "DIFFER");
  }
  restorePassState(startState);
  figures.pickMs = allCulled.median();

  // Random ground cameras under every light setting of the menu, last: the
  // light switches are left as the last setting put them.
  const int cameras = options.quick ? 8 : 40;
  std::mt19937 random(1207);
  long worst = 0;
  int within = 0;
  for (int camera = 0; camera < cameras; ++camera) {
    restorePassState(startState);
    applyLightSetting(camera % LIGHT_SETTINGS);
    placeRandomGroundCamera(random);
    const FrameDifference difference = compareFrame();
    worst = std::max(worst, difference.beyondTolerance);
    if (difference.beyondTolerance * 1000 <= difference.pixels) ++within;
    undoLightSetting(camera % LIGHT_SETTINGS);
  }
  std::printf("random ground cameras, every light setting: %d of %d within %d pixels beyond %d levels; worst %ld\n",
              within, cameras, WINDOW_WIDTH * WINDOW_HEIGHT / 1000, PICTURE_TOLERANCE, worst);
  if (within != cameras) identical = false;
  restorePassState(startState);

  std::printf("model loading, step by step (fresh copies):\n");
  printModelBreakdown();
  std::printf("picture and picks: %s\n", identical ? "frames within tolerance, picks identical" : "DIFFERENCES FOUND");
  figures.identical = identical;
}
