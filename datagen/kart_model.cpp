// The blue go-kart model and its material textures.
#include "datagen/kart_model.h"

#include <cmath>
#include <functional>

#include "datagen/canvas.h"
#include "datagen/mesh_shapes.h"
#include "datagen/noise.h"

namespace datagen {

namespace {

// Sizes in metres of a real kart; the scene rescales the model anyway.
constexpr double FRONT_X = -0.9;   // front bumper
constexpr double TUBE = 0.016;      // frame tube radius
// The scene shows the kart 100 to 300 pixels long and draws it three times a frame on a
// software rasteriser, so segment counts suit that size: round outlines that show
// (tyres, rim lips, the steering wheel) keep more segments than the tubes, which are
// two to five pixels thick there.
constexpr int TUBE_SIDES = 6;
constexpr int TYRE_SEGMENTS = 20;
constexpr int RIM_SEGMENTS = 12;
constexpr int SMALL_ROUND = 10;     // engine drums, covers and discs
constexpr int TINY_ROUND = 8;       // lamps and the silencer
constexpr double BEND = 0.07;       // bend radius of the frame tubes
constexpr double BEND_STEP = 0.6;   // radians per bend segment
constexpr double RIM_RADIUS = 0.066;

const Vec3 LEFT{0, 0, 1};  // the driver's left, seen facing -x

constexpr FaceForm V = FaceForm::VERTEX;
constexpr FaceForm VT = FaceForm::VERTEX_TEXTURE;
constexpr FaceForm VN = FaceForm::VERTEX_NORMAL;
constexpr FaceForm VTN = FaceForm::VERTEX_TEXTURE_NORMAL;

// Ka stays well below Kd: the scene's sun-on state has a white global ambient of 1.
std::vector<MeshMaterial> kartMaterials() {
  return {
      {"frame_chrome", {0.20, 0.21, 0.23}, {0.42, 0.43, 0.46}, {0.85, 0.85, 0.85}, 700, ""},
      {"bumper_chrome", {0.19, 0.20, 0.22}, {0.40, 0.41, 0.44}, {0.85, 0.85, 0.85}, 700, ""},
      {"rear_bumper_chrome", {0.19, 0.20, 0.22}, {0.41, 0.42, 0.45}, {0.85, 0.85, 0.85}, 700, ""},
      {"side_bar_steel", {0.16, 0.16, 0.18}, {0.36, 0.36, 0.39}, {0.70, 0.70, 0.70}, 500, ""},
      {"axle_steel", {0.13, 0.13, 0.14}, {0.33, 0.33, 0.35}, {0.60, 0.60, 0.60}, 400, ""},
      {"carburettor_alloy", {0.19, 0.19, 0.19}, {0.52, 0.52, 0.50}, {0.50, 0.50, 0.50}, 250, ""},
      {"floor_metal", {0.10, 0.10, 0.11}, {0.26, 0.26, 0.28}, {0.30, 0.30, 0.30}, 150, ""},
      {"body_blue", {0.02, 0.08, 0.30}, {0.06, 0.22, 0.72}, {0.60, 0.60, 0.65}, 450, ""},
      {"pod_blue", {0.02, 0.07, 0.27}, {0.05, 0.20, 0.66}, {0.55, 0.55, 0.60}, 450, ""},
      {"panel_blue", {0.03, 0.09, 0.31}, {0.07, 0.24, 0.74}, {0.55, 0.55, 0.60}, 450, ""},
      {"number_decal", {0.40, 0.36, 0.08}, {0.84, 0.76, 0.18}, {0.40, 0.40, 0.35}, 300, "kart_number.tga"},
      {"seat_black", {0.05, 0.05, 0.06}, {0.12, 0.12, 0.14}, {0.35, 0.35, 0.38}, 250, ""},
      {"column_steel", {0.16, 0.16, 0.17}, {0.38, 0.38, 0.40}, {0.70, 0.70, 0.70}, 600, ""},
      {"wheel_grip", {0.04, 0.04, 0.04}, {0.10, 0.10, 0.10}, {0.20, 0.20, 0.20}, 120, ""},
      {"tyre_rubber", {0.035, 0.035, 0.035}, {0.09, 0.09, 0.09}, {0.12, 0.12, 0.12}, 60, "kart_tread.bmp"},
      {"rim_alloy", {0.20, 0.20, 0.21}, {0.55, 0.56, 0.58}, {0.80, 0.80, 0.80}, 650, ""},
      {"hub_steel", {0.12, 0.12, 0.13}, {0.30, 0.30, 0.32}, {0.50, 0.50, 0.50}, 300, ""},
      {"engine_alloy", {0.18, 0.18, 0.18}, {0.48, 0.48, 0.47}, {0.45, 0.45, 0.45}, 200, ""},
      {"engine_red", {0.26, 0.03, 0.03}, {0.72, 0.08, 0.06}, {0.50, 0.45, 0.45}, 350, ""},
      {"exhaust_steel", {0.11, 0.09, 0.08}, {0.30, 0.26, 0.22}, {0.45, 0.42, 0.40}, 250, ""},
      {"chain_black", {0.05, 0.05, 0.05}, {0.14, 0.14, 0.14}, {0.30, 0.30, 0.30}, 200, ""},
      {"tank_white", {0.26, 0.26, 0.25}, {0.72, 0.72, 0.68}, {0.40, 0.40, 0.40}, 200, ""},
      {"pedal_metal", {0.14, 0.14, 0.15}, {0.36, 0.36, 0.38}, {0.60, 0.60, 0.60}, 400, ""},
      {"brake_red", {0.24, 0.03, 0.03}, {0.66, 0.07, 0.05}, {0.50, 0.45, 0.45}, 350, ""},
      {"brake_disc", {0.16, 0.16, 0.16}, {0.42, 0.42, 0.42}, {0.60, 0.60, 0.60}, 400, ""},
      {"lamp_housing", {0.20, 0.20, 0.21}, {0.46, 0.46, 0.48}, {0.90, 0.90, 0.90}, 800, ""},
      {"lamp_lens", {0.55, 0.53, 0.42}, {0.95, 0.93, 0.78}, {1.00, 1.00, 1.00}, 900, ""},
  };
}

// ---- Wheels ----------------------------------------------------------------------

// A wheel on the side `side` (+1 left, -1 right), its axis pointing outwards.
void addWheel(MeshBuilder& b, Vec3 centre, double radius, double width, double side) {
  Vec3 axis = LEFT * side;
  const double hw = width / 2, rim = RIM_RADIUS;

  // Tyre: sidewalls, rounded shoulders, a flat slick tread. The profile climbs the
  // inner sidewall, crosses the tread and comes down the outer one.
  b.beginGroup("tyres", "tyre_rubber", VTN);
  const double sr = 0.028;  // shoulder radius
  std::vector<ProfilePoint> tyre = {{rim + 0.004, -hw * 0.8}};
  for (int i = 0; i <= 2; ++i) {
    double a = -PI / 2 + PI / 4 * i;
    tyre.push_back({radius - sr + sr * std::cos(a), -hw + sr + sr * std::sin(a)});
  }
  for (int i = 0; i <= 2; ++i) {
    double a = PI / 4 * i;
    tyre.push_back({radius - sr + sr * std::cos(a), hw - sr + sr * std::sin(a)});
  }
  tyre.push_back({rim + 0.004, hw * 0.8});
  addLathe(b, centre, axis, tyre, TYRE_SEGMENTS, 4);

  // Rim: a cone closing the inside (the tyre hides the barrel), the flanged lip, a
  // dish down to the hub boss.
  b.beginGroup("rims", "rim_alloy", VN);
  std::vector<ProfilePoint> rimProfile = {{0.0, -hw * 0.75},   {rim, hw * 0.82, true},         {rim + 0.01, hw * 0.9, true},
                                          {rim - 0.006, hw * 0.96, true}, {0.042, hw * 0.45, true}, {0.034, hw * 0.8, true},
                                          {0.0, hw * 0.8}};
  addLathe(b, centre, axis, rimProfile, RIM_SEGMENTS);
  // Five spokes standing out of the dish, each a ridge facing outwards.
  Frame wheel = frameAlong(centre, axis, {0, 1, 0});
  const std::vector<Vec2> ridge = {{-0.011, -0.006}, {-0.011, 0.006}, {0.011, 0.0}};
  for (int k = 0; k < 5; ++k) {
    double a = 2 * PI * k / 5 + 0.3;
    Vec3 radial = wheel.u * std::cos(a) + wheel.v * std::sin(a);
    addPrism(b, frameAlong(centre + radial * 0.034 + axis * (hw * 0.6), radial, axis), ridge, 0.026);
  }

  // Hub nut.
  b.beginGroup("hubs", "hub_steel", V);
  std::vector<Vec2> hexagon;
  for (int k = 0; k < 6; ++k) hexagon.push_back({0.017 * std::cos(PI / 3 * k), 0.017 * std::sin(PI / 3 * k)});
  Frame nut = frameAlong(centre + axis * (hw * 0.8), axis, {0, 1, 0});
  addPrism(b, nut, hexagon, 0.022);
}

// ---- Frame, bumpers, floor ---------------------------------------------------------

void addFrame(MeshBuilder& b) {
  b.beginGroup("chassis_frame", "frame_chrome", VN);
  // Main loop: narrow nose, widest under the driver, square at the back.
  std::vector<Vec3> loop = {{-0.74, 0.085, 0.15}, {-0.56, 0.075, 0.25}, {0.1, 0.075, 0.31}, {0.66, 0.09, 0.27},
                            {0.66, 0.09, -0.27},  {0.1, 0.075, -0.31},  {-0.56, 0.075, -0.25}, {-0.74, 0.085, -0.15}};
  addTube(b, roundCorners(loop, BEND, BEND_STEP, true), TUBE, TUBE_SIDES, TubeEnds::LOOP, 4);
  // Front axle beam with its kingpin posts, and a cross member under the seat.
  addTube(b, {{-0.5, 0.1, -0.43}, {-0.5, 0.1, 0.43}}, TUBE, TUBE_SIDES, TubeEnds::BURIED);
  for (double s : {1.0, -1.0}) {
    addTube(b, {{-0.5, 0.055, 0.44 * s}, {-0.5, 0.2, 0.44 * s}}, 0.018, TUBE_SIDES, TubeEnds::CAPPED);
    // Stub axle from the kingpin to the front wheel.
    addTube(b, {{-0.5, 0.128, 0.44 * s}, {-0.5, 0.128, 0.5 * s}}, 0.012, TUBE_SIDES, TubeEnds::BURIED);
    // Seat stays from the rails up to the seat back.
    addTube(b, roundCorners({{0.18, 0.08, 0.3 * s}, {0.3, 0.12, 0.28 * s}, {0.34, 0.34, 0.2 * s}}, BEND, BEND_STEP, false),
            0.011, TUBE_SIDES, TubeEnds::CAP_END);
    // Bearing carriers of the rear axle.
    addBox(b, Frame{{0.56, 0.12, 0.3 * s}}, {0.035, 0.045, 0.012});
  }
  addTube(b, {{0.05, 0.075, -0.3}, {0.05, 0.075, 0.3}}, TUBE, TUBE_SIDES, TubeEnds::BURIED);
  addTube(b, {{-0.3, 0.075, -0.28}, {-0.3, 0.075, 0.28}}, 0.012, TUBE_SIDES, TubeEnds::BURIED);

  // Rear axle.
  b.beginGroup("rear_axle", "axle_steel", VT);
  addTube(b, {{0.56, 0.14, -0.56}, {0.56, 0.14, 0.56}}, 0.02, TUBE_SIDES, TubeEnds::BURIED);
}

void addBumpers(MeshBuilder& b) {
  b.beginGroup("front_bumper", "bumper_chrome", V);
  const double x = FRONT_X + TUBE;
  addTube(b, roundCorners({{-0.62, 0.075, 0.24}, {x, 0.072, 0.15}, {x, 0.072, -0.15}, {-0.62, 0.075, -0.24}}, 0.08,
                          BEND_STEP, false),
          TUBE, TUBE_SIDES, TubeEnds::CAPPED);
  addTube(b, roundCorners({{-0.66, 0.09, 0.27}, {-0.84, 0.17, 0.2}, {-0.84, 0.17, -0.2}, {-0.66, 0.09, -0.27}}, 0.08,
                          BEND_STEP, false),
          0.013, TUBE_SIDES, TubeEnds::BURIED);

  b.beginGroup("rear_bumper", "rear_bumper_chrome", VN);
  const double rx = 0.9 - TUBE;
  addTube(b, roundCorners({{0.76, 0.15, 0.67}, {rx, 0.15, 0.6}, {rx, 0.15, -0.6}, {0.76, 0.15, -0.67}}, 0.1,
                          BEND_STEP, false),
          TUBE, TUBE_SIDES, TubeEnds::CAPPED);
  for (double s : {1.0, -1.0}) {
    addTube(b, roundCorners({{0.64, 0.09, 0.2 * s}, {0.76, 0.13, 0.22 * s}, {rx, 0.15, 0.26 * s}}, 0.05, BEND_STEP, false),
            0.013, TUBE_SIDES, TubeEnds::CAP_START);
  }

  b.beginGroup("side_bars", "side_bar_steel", V);
  for (double s : {1.0, -1.0}) {
    for (double bx : {-0.2, 0.22}) addTube(b, {{bx, 0.08, 0.3 * s}, {bx, 0.09, 0.4 * s}}, 0.012, TUBE_SIDES, TubeEnds::BURIED);
  }
}

void addFloorPan(MeshBuilder& b) {
  b.beginGroup("floor_pan", "floor_metal", V);
  // One large polygon each side: the reader splits it into a fan.
  std::vector<Vec2> outline = {{-0.66, -0.12}, {-0.56, -0.22}, {0.08, -0.28}, {0.22, -0.2},
                               {0.22, 0.2},    {0.08, 0.28},   {-0.56, 0.22}, {-0.66, 0.12}};
  Frame plate{{0, 0.05, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
  addPrism(b, plate, outline, 0.006);
}

// ---- Bodywork -----------------------------------------------------------------------

// A ring across x at `x`: a rounded trapezoid in (z, y), `bottom` and `top` giving
// its half widths at heights yBottom and yTop, each corner cut into `steps`.
std::vector<Vec3> trapezoidRing(double x, double bottom, double top, double yBottom, double yTop, double radius,
                                int steps) {
  return roundedPolygon({{x, yBottom, bottom}, {x, yTop, top}, {x, yTop, -top}, {x, yBottom, -bottom}}, radius, steps);
}

void addNose(MeshBuilder& b) {
  b.beginGroup("nose_cone", "body_blue", VTN);
  struct S {
    double x, bottom, top, yBottom, yTop;
  };
  // Low and wide at the bumper, rising towards the driver's feet.
  const S sections[] = {{FRONT_X + 0.004, 0.25, 0.19, 0.09, 0.172}, {-0.88, 0.29, 0.23, 0.075, 0.196},
                        {-0.83, 0.32, 0.255, 0.068, 0.214},       {-0.74, 0.33, 0.255, 0.068, 0.23},
                        {-0.66, 0.31, 0.225, 0.07, 0.24},         {-0.62, 0.27, 0.185, 0.078, 0.244}};
  std::vector<std::vector<Vec3>> rings;
  for (const S& s : sections) rings.push_back(trapezoidRing(s.x, s.bottom, s.top, s.yBottom, s.yTop, 0.028, 3));
  addLoft(b, rings, true, true);

  // Lamp pods on the nose's front corners, where the scene puts the kart's lamps.
  for (double s : {1.0, -1.0}) {
    Vec3 lamp{-0.855, 0.246, 0.225 * s};
    b.beginGroup("lamps", "lamp_housing", VN);
    addLathe(b, lamp, {-1, 0, 0},
             {{0.0, -0.03}, {0.026, -0.03, true}, {0.031, 0.02, true}, {0.026, 0.024, true}, {0.024, 0.02, true}},
             TINY_ROUND);
    addBox(b, Frame{{-0.845, 0.214, 0.225 * s}}, {0.018, 0.014, 0.014});
    b.beginGroup("lamp_lenses", "lamp_lens", V);
    addLathe(b, lamp + Vec3{-0.02, 0, 0}, {-1, 0, 0}, {{0.024, 0.0}, {0.014, 0.009}, {0.0, 0.012}}, TINY_ROUND);
  }
}

void addSidePods(MeshBuilder& b) {
  b.beginGroup("side_pods", "pod_blue", VN);
  struct S {
    double x, scale;
  };
  const S sections[] = {{-0.33, 0.5}, {-0.31, 0.82}, {-0.27, 1.0}, {0.28, 1.0}, {0.33, 0.82}, {0.35, 0.5}};
  for (double side : {1.0, -1.0}) {
    std::vector<std::vector<Vec3>> rings;
    for (const S& s : sections) {
      // Section in (z, y): high at the inside, sloping down outwards; shrunk about its
      // middle at the ends.
      const Vec2 centre{0.475, 0.1};
      const Vec2 corners[] = {{0.35, 0.055}, {0.6, 0.06}, {0.6, 0.105}, {0.365, 0.158}};
      std::vector<Vec3> quad;
      for (Vec2 c : corners) {
        Vec2 q = centre + (c - centre) * s.scale;
        quad.push_back({s.x, q.y, q.x * side});
      }
      rings.push_back(roundedPolygon(quad, 0.024 * s.scale, 2));
    }
    addLoft(b, rings, true, true);
  }
}

void addFrontPanel(MeshBuilder& b) {
  // The number panel in front of the driver's shins, leaning back a little.
  Vec3 up = normalize(Vec3{0.22, 1, 0});
  Frame panel{{-0.6, 0.15, 0}, LEFT, up, normalize(cross(LEFT, up))};
  std::vector<Vec2> outline;
  const double hw = 0.15, h = 0.2, r = 0.05;
  for (int i = 0; i <= 4; ++i) {
    double a = PI / 2 * i / 4;
    outline.push_back({hw - r + r * std::cos(a), h - r + r * std::sin(a)});
  }
  for (int i = 0; i <= 4; ++i) {
    double a = PI / 2 + PI / 2 * i / 4;
    outline.push_back({-hw + r + r * std::cos(a), h - r + r * std::sin(a)});
  }
  outline.push_back({-hw + 0.02, 0});
  outline.push_back({hw - 0.02, 0});
  b.beginGroup("front_panel", "panel_blue", V);
  addPrism(b, panel, outline, 0.008);
  // The number plate on its front face, mapped to the number texture.
  b.beginGroup("number_plate", "number_decal", VT);
  std::vector<Vec2> plate = {{-0.08, 0.045}, {0.08, 0.045}, {0.08, 0.165}, {-0.08, 0.165}};
  Frame front = panel;
  front.origin = panel.at(0, 0, 0.008);
  addPrism(b, front, plate, 0.003);
}

// ---- Seat -----------------------------------------------------------------------

Vec3 catmullRom(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, double t) {
  double t2 = t * t, t3 = t2 * t;
  return (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) * 0.5;
}

void addSeat(MeshBuilder& b, double seatTop) {
  b.beginGroup("seat", "seat_black", VT);
  // Spine of the bucket: front lip, down into the pan, up the reclined back.
  std::vector<Vec3> ctrl = {{-0.03, 0.145, 0}, {0.04, 0.09, 0}, {0.14, 0.066, 0}, {0.235, 0.09, 0},
                            {0.285, 0.2, 0},   {0.325, 0.36, 0}, {0.36, seatTop, 0}};
  std::vector<Vec3> spine;
  const int PER_SEGMENT = 2;
  for (size_t i = 0; i + 1 < ctrl.size(); ++i) {
    Vec3 p0 = ctrl[i > 0 ? i - 1 : 0], p3 = ctrl[i + 2 < ctrl.size() ? i + 2 : ctrl.size() - 1];
    for (int k = 0; k < PER_SEGMENT; ++k) spine.push_back(catmullRom(p0, ctrl[i], ctrl[i + 1], p3, double(k) / PER_SEGMENT));
  }
  spine.push_back(ctrl.back());

  const int ACROSS = 7;
  const double THICK = 0.012;
  const size_t rows = spine.size();
  // The side walls rise towards the driver, on the inside of the spine's bends; where a
  // bend is tighter than the wall is high, the wall's top edge would fold over itself,
  // so the wall is kept lower than the bend's radius there.
  std::vector<double> rises(rows);
  for (size_t i = 0; i < rows; ++i) {
    double t = double(i) / (rows - 1);
    rises[i] = 0.1 - 0.03 * t;
    if (i > 0 && i + 1 < rows) {
      Vec3 a = spine[i - 1], bb = spine[i], c = spine[i + 1];
      double area2 = length(cross(bb - a, c - a));
      double radius = length(bb - a) * length(c - bb) * length(c - a) / std::max(2 * area2, 1e-12);
      rises[i] = std::min(rises[i], 0.6 * radius);
    }
  }
  std::vector<double> smoothRises = rises;
  for (size_t i = 1; i + 1 < rows; ++i) smoothRises[i] = std::min(rises[i], 0.25 * rises[i - 1] + 0.5 * rises[i] + 0.25 * rises[i + 1]);
  std::vector<std::vector<Vec3>> inner(rows), outer(rows);
  for (size_t i = 0; i < rows; ++i) {
    double t = double(i) / (rows - 1);
    Vec3 tangent = normalize(spine[std::min(i + 1, rows - 1)] - spine[i > 0 ? i - 1 : 0]);
    Vec3 towardsDriver = normalize(cross(LEFT, tangent));
    // The back narrows into a rounded top.
    double top = t > 0.82 ? std::sqrt(1 - 0.55 * std::pow((t - 0.82) / 0.18, 2)) : 1.0;
    double halfWidth = (0.165 + 0.035 * t) * top, rise = smoothRises[i] * top;
    for (int j = 0; j < ACROSS; ++j) {
      double phi = PI * j / (ACROSS - 1);
      double c = std::cos(phi), s = std::sin(phi);
      double lateral = (c < 0 ? -1 : 1) * std::pow(std::fabs(c), 0.45);
      double lift = 1 - std::pow(s, 0.45);
      inner[i].push_back(spine[i] + LEFT * (halfWidth * lateral) + towardsDriver * (rise * lift));
      outer[i].push_back(spine[i] + LEFT * ((halfWidth + THICK) * lateral) + towardsDriver * (rise * lift - THICK));
    }
  }
  Vec3 driver = normalize(Vec3{-1, 1, 0});
  addSheet(b, inner, driver);
  addSheet(b, outer, -driver);

  // The rim round the shell's edge: its own corners, so the edge stays crisp.
  std::vector<std::pair<size_t, size_t>> edge;
  for (int j = 0; j < ACROSS; ++j) edge.push_back({0, j});
  for (size_t i = 1; i < rows; ++i) edge.push_back({i, ACROSS - 1});
  for (int j = ACROSS - 2; j >= 0; --j) edge.push_back({rows - 1, j});
  for (size_t i = rows - 2; i >= 1; --i) edge.push_back({i, 0});
  auto outward = [&](size_t i, int j) {
    Vec3 d{};
    if (i == 0) d += inner[0][j] - inner[1][j];
    if (i == rows - 1) d += inner[rows - 1][j] - inner[rows - 2][j];
    if (j == 0) d += inner[i][0] - inner[i][1];
    if (j == ACROSS - 1) d += inner[i][ACROSS - 1] - inner[i][ACROSS - 2];
    return normalize(d);
  };
  std::vector<int> innerRim, outerRim;
  std::vector<Vec3> rimNormal;
  for (auto [i, j] : edge) {
    innerRim.push_back(b.point(inner[i][j]));
    outerRim.push_back(b.point(outer[i][j]));
    rimNormal.push_back(outward(i, j));
  }
  for (size_t k = 0; k < edge.size(); ++k) {
    size_t k1 = (k + 1) % edge.size();
    b.polygon({b.vertex(innerRim[k], rimNormal[k], {0, 0}), b.vertex(innerRim[k1], rimNormal[k1], {1, 0}),
               b.vertex(outerRim[k1], rimNormal[k1], {1, 1}), b.vertex(outerRim[k], rimNormal[k], {0, 1})});
  }
}

// ---- Steering ---------------------------------------------------------------------

void addSteering(MeshBuilder& b) {
  const Vec3 base{-0.6, 0.09, 0}, top{-0.315, 0.455, 0};
  const Vec3 axis = normalize(top - base);
  b.beginGroup("steering_column", "column_steel", VN);
  addTube(b, {base, top}, 0.011, TUBE_SIDES, TubeEnds::BURIED);
  // Column mount at the floor and the track rods out to the kingpins.
  addBox(b, frameAlong(base + Vec3{0, -0.01, 0}, {0, 1, 0}, {1, 0, 0}), {0.03, 0.02, 0.03});
  for (double s : {1.0, -1.0}) addTube(b, {{-0.56, 0.11, 0.02 * s}, {-0.46, 0.14, 0.42 * s}}, 0.007, TUBE_SIDES, TubeEnds::CAPPED);

  b.beginGroup("steering_wheel", "wheel_grip", VTN);
  const Vec3 centre = top + axis * 0.01;
  std::vector<ProfilePoint> grip;
  for (int i = 0; i < 5; ++i) {
    double a = 2 * PI * i / 5;
    grip.push_back({0.15 + 0.014 * std::cos(a), 0.014 * std::sin(a)});
  }
  addLathe(b, centre, axis, grip, 18, 1, true);
  addLathe(b, centre - axis * 0.02, axis,
           {{0.0, 0.0}, {0.036, 0.0, true}, {0.036, 0.035, true}, {0.02, 0.042}, {0.0, 0.043}}, 8);
  Frame wheel = frameAlong(centre, axis, {0, 1, 0});
  for (Vec3 dir : {wheel.u * -1.0, wheel.v, wheel.v * -1.0}) {
    addTube(b, {centre + axis * 0.012 + dir * 0.03, centre + dir * 0.142}, 0.009, TUBE_SIDES, TubeEnds::BURIED);
  }
}

// ---- Engine, exhaust, chain, brake, tank, pedals ----------------------------------

void addEngine(MeshBuilder& b) {
  const double ez = -0.335;  // engine sits beside the seat, on the right
  b.beginGroup("engine_block", "engine_alloy", VN);
  // Crankcase: a drum lying across the kart.
  addLathe(b, {0.4, 0.165, -0.255}, {0, 0, -1},
           {{0.0, 0.0}, {0.07, 0.0, true}, {0.078, 0.012}, {0.078, 0.14}, {0.07, 0.155, true}, {0.0, 0.155}}, SMALL_ROUND);
  // Finned cylinder and head. Each fin is a wedge, lit on top and dark below, with a
  // dark strip of cylinder wall between it and the next.
  std::vector<ProfilePoint> cylinder = {{0.045, 0.0}};
  for (int k = 0; k < 5; ++k) {
    double h = 0.014 + 0.027 * k;
    cylinder.push_back({0.045, h, true});
    cylinder.push_back({0.078 - 0.002 * k, h + 0.004, true});
    cylinder.push_back({0.045, h + 0.008, true});
  }
  cylinder.push_back({0.045, 0.16, true});
  cylinder.push_back({0.035, 0.175});
  cylinder.push_back({0.0, 0.18});
  addLathe(b, {0.4, 0.22, ez}, {0, 1, 0}, cylinder, SMALL_ROUND);
  addBox(b, Frame{{0.4, 0.09, ez}}, {0.07, 0.012, 0.05});  // mount plate

  b.beginGroup("engine_cover", "engine_red", V);
  // Clutch cover on the outer side, air filter in front, spark plug cap on top.
  addLathe(b, {0.4, 0.165, -0.41}, {0, 0, -1}, {{0.062, 0.0}, {0.062, 0.015, true}, {0.04, 0.028}, {0.0, 0.03}}, SMALL_ROUND);
  addLathe(b, {0.215, 0.3, ez}, {1, 0, 0},
           {{0.0, 0.0}, {0.045, 0.0, true}, {0.05, 0.01}, {0.05, 0.09}, {0.045, 0.1, true}, {0.0, 0.1}}, SMALL_ROUND);
  addTube(b, {{0.4, 0.395, ez}, {0.4, 0.43, ez}}, 0.01, TUBE_SIDES, TubeEnds::CAP_END);

  b.beginGroup("carburettor", "carburettor_alloy", VTN);
  addTube(b, {{0.315, 0.3, ez}, {0.36, 0.29, ez}}, 0.018, TUBE_SIDES, TubeEnds::BURIED);

  b.beginGroup("exhaust", "exhaust_steel", VN);
  addTube(b, roundCorners({{0.44, 0.3, -0.3}, {0.5, 0.31, -0.25}, {0.6, 0.33, -0.22}, {0.63, 0.33, -0.22}}, 0.05,
                          BEND_STEP, false),
          0.017, TUBE_SIDES, TubeEnds::BURIED);
  addLathe(b, {0.62, 0.33, -0.22}, {1, 0, 0},
           {{0.0, 0.0}, {0.035, 0.0, true}, {0.048, 0.02}, {0.048, 0.18}, {0.035, 0.2, true}, {0.0, 0.2}}, TINY_ROUND);
  addTube(b, {{0.82, 0.33, -0.22}, {0.87, 0.32, -0.22}}, 0.012, TUBE_SIDES, TubeEnds::CAP_END);

  b.beginGroup("drive_chain", "chain_black", V);
  // Sprockets and the chain between them, on the outer side.
  const double cz = -0.43;
  addLathe(b, {0.56, 0.14, cz - 0.004}, {0, 0, -1}, {{0.0, 0.0}, {0.075, 0.0, true}, {0.075, 0.008, true}, {0.0, 0.008}},
           SMALL_ROUND);
  std::vector<Vec3> chain;
  for (int i = 0; i < 4; ++i) {
    double a = PI / 2 + PI * i / 3;
    chain.push_back({0.4 + 0.03 * std::cos(a), 0.165 + 0.03 * std::sin(a), cz});
  }
  for (int i = 0; i < 5; ++i) {
    double a = -PI / 2 + PI * i / 4;
    chain.push_back({0.56 + 0.077 * std::cos(a), 0.14 + 0.077 * std::sin(a), cz});
  }
  addTube(b, chain, 0.006, 4, TubeEnds::LOOP);
}

void addBrake(MeshBuilder& b) {
  b.beginGroup("brake_disc", "brake_disc", VN);
  addLathe(b, {0.56, 0.14, 0.22}, {0, 0, 1}, {{0.022, -0.004}, {0.095, -0.004, true}, {0.095, 0.004, true}, {0.022, 0.004}},
           SMALL_ROUND);
  b.beginGroup("brake_caliper", "brake_red", V);
  addBox(b, frameAlong({0.6, 0.22, 0.22}, {0, 0, 1}, {1, -0.8, 0}), {0.03, 0.02, 0.022});
}

void addTankAndPedals(MeshBuilder& b) {
  b.beginGroup("fuel_tank", "tank_white", VTN);
  std::vector<std::vector<Vec3>> rings;
  for (double x : {-0.32, -0.3, -0.14, -0.12}) {
    double k = (x == -0.32 || x == -0.12) ? 0.85 : 1.0;
    rings.push_back(trapezoidRing(x, 0.085 * k, 0.075 * k, 0.06, 0.06 + 0.15 * k, 0.03 * k, 2));
  }
  addLoft(b, rings, true, true);
  addTube(b, {{-0.22, 0.21, 0.0}, {-0.22, 0.235, 0.0}}, 0.018, TUBE_SIDES, TubeEnds::CAP_END);  // filler cap

  b.beginGroup("pedals", "pedal_metal", V);
  for (double z : {0.09, -0.09}) {
    // Plates leaning forwards, facing the driver's feet.
    Vec3 face = normalize(Vec3{1, 0.5, 0});
    Frame pedal = frameAlong({-0.54, 0.13, z}, face, {0, 0, 1});
    addBox(b, pedal, {0.028, 0.045, 0.006});
    addTube(b, {{-0.53, 0.055, z}, {-0.545, 0.11, z}}, 0.007, TUBE_SIDES, TubeEnds::CAP_START);
  }
}

Mesh buildKart(double seatTop) {
  Mesh mesh;
  mesh.materials = kartMaterials();
  MeshBuilder b(mesh);
  addFrame(b);
  addBumpers(b);
  addFloorPan(b);
  addNose(b);
  addSidePods(b);
  addFrontPanel(b);
  addSeat(b, seatTop);
  addSteering(b);
  addEngine(b);
  addBrake(b);
  addTankAndPedals(b);
  for (double s : {1.0, -1.0}) {
    addWheel(b, {0.56, 0.14, 0.585 * s}, 0.14, 0.2, s);
    addWheel(b, {-0.5, 0.128, 0.545 * s}, 0.128, 0.14, s);
  }
  return mesh;
}

}  // namespace

Mesh makeKartMesh() {
  // The seat back is the highest point: choose its height so that height is exactly
  // KART_HEIGHT_RATIO of length (the seat does not change the length).
  double seatTop = 0.58;
  Mesh mesh = buildKart(seatTop);
  for (int i = 0; i < 3; ++i) {
    Bounds box = meshBounds(mesh);
    double wanted = KART_HEIGHT_RATIO * box.size().x + box.min.y;
    seatTop += wanted - box.max.y;
    mesh = buildKart(seatTop);
  }
  return mesh;
}

// ---- Material textures -----------------------------------------------------------

std::vector<KartTexture> makeKartTextures() {
  std::vector<KartTexture> out;
  // Tyre: dark rubber with a soft chevron tread, wrapping around the tyre 8 times.
  {
    Raster tread(256, 64);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 256; ++x) {
        double u = (x + 0.5) / 256, v = (y + 0.5) / 64;
        double chevron = std::fmod(u * 8 + std::fabs(v - 0.5) * 1.2 + 10, 1.0);
        double groove = (v > 0.15 && v < 0.85 && chevron < 0.18) ? 0.55 : 1.0;
        double grain = 1 + 0.08 * gradientNoise(u * 64, v * 16, 0x7e3du, 64, 16);
        double g = 0.16 * groove * grain;
        tread.at(x, y) = {g, g, g * 1.05, 1};
      }
    }
    out.push_back({"kart_tread.bmp", false, tread.toImage8(3, false)});
  }
  // Number plate: a black 7 on yellow, framed.
  {
    Canvas c(128, 128, 1.0, 1.0, rgb255(250, 214, 40));
    c.fill({{0, 0}, {1, 1}}, rgb255(20, 20, 24), [](Vec2 p) {
      double frame = std::fabs(std::max(std::fabs(p.x - 0.5), std::fabs(p.y - 0.5)) - 0.44) - 0.025;
      std::vector<Vec2> bar = {{0.26, 0.72}, {0.74, 0.72}, {0.74, 0.84}, {0.26, 0.84}};
      std::vector<Vec2> stem = {{0.61, 0.76}, {0.74, 0.76}, {0.48, 0.16}, {0.35, 0.16}};
      return std::min({frame, polygonDistance(p, bar), polygonDistance(p, stem)});
    });
    out.push_back({"kart_number.tga", true, c.raster().toImage8(4, false)});
  }
  return out;
}

}  // namespace datagen
