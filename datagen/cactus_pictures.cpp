// The signboard's ten cactus pictures and how each one is stored.
#include "datagen/cactus_pictures.h"

#include <cmath>
#include <stdexcept>
#include <vector>

#include "datagen/canvas.h"
#include "datagen/vec.h"

namespace datagen {

namespace {

constexpr double W = BOARD_WIDTH;
constexpr double H = BOARD_HEIGHT;

// ---- Shared pieces -------------------------------------------------------------

// Colour bands stacked from the top: each entry holds from its lower edge upwards.
struct Band {
  double from;
  Color color;
};

Color bandColor(const std::vector<Band>& bands, double v) {
  for (const Band& b : bands) {
    if (v >= b.from) return b.color;
  }
  return bands.back().color;
}

void drawFrame(Canvas& c) {
  const Color wood = rgb255(104, 68, 42);
  const Color inner = rgb255(240, 214, 160);
  const double t = 0.04, line = 0.012;
  auto outside = [&](double m) {
    return [m](Vec2 p) { return std::min({p.x - m, W - m - p.x, p.y - m, H - m - p.y}); };
  };
  c.fill({{0, 0}, {W, H}}, inner, outside(t));
  c.fill({{0, 0}, {W, H}}, wood, outside(t - line));
}

void drawCloud(Canvas& c, Vec2 at, double size, Color color) {
  const Vec2 lobes[] = {{-0.10, 0.0}, {0.0, 0.045}, {0.09, 0.02}, {0.16, -0.01}, {-0.17, -0.015}};
  const double radii[] = {0.06, 0.075, 0.06, 0.045, 0.04};
  c.fill({{at.x - 0.3 * size, at.y - 0.1 * size}, {at.x + 0.3 * size, at.y + 0.15 * size}}, color, [&](Vec2 p) {
    double d = std::max(at.y - 0.03 * size - p.y, -1.0);  // flat bottom
    double lobe = 1e9;
    for (int i = 0; i < 5; ++i) lobe = std::min(lobe, circleDistance(p, at + lobes[i] * size, radii[i] * size));
    return std::max(lobe, d);
  });
}

// A hill line: the region below height(x).
template <typename Height>
void drawGround(Canvas& c, Color color, double top, const Height& height) {
  c.fill({{0, 0}, {W, top}}, color, [&](Vec2 p) { return p.y - height(p.x); });
}

void drawSun(Canvas& c, Vec2 centre, double radius, double rayTurn, Color sun, Color rays) {
  const int RAYS = 12;
  for (int i = 0; i < RAYS; ++i) {
    double a = 2 * PI * (i + rayTurn) / RAYS;
    Vec2 dir{std::cos(a), std::sin(a)}, side{-dir.y, dir.x};
    std::vector<Vec2> tri = {centre + dir * (radius * 1.15) + side * (radius * 0.22),
                             centre + dir * (radius * 1.15) - side * (radius * 0.22), centre + dir * (radius * 1.75)};
    c.fill(pointsBounds(tri), rays, [&](Vec2 p) { return polygonDistance(p, tri); });
  }
  c.fill(circleBounds(centre, radius), sun, [&](Vec2 p) { return circleDistance(p, centre, radius); });
}

void drawFlower(Canvas& c, Vec2 at, double size, double turn, Color petal, Color heart) {
  const int PETALS = 6;
  for (int i = 0; i < PETALS; ++i) {
    double a = 2 * PI * (i + turn) / PETALS + PI / 2;
    Vec2 centre = at + Vec2{std::cos(a), std::sin(a)} * (size * 0.55);
    c.fill(circleBounds(centre, size), petal, [&](Vec2 p) { return ellipseDistance(p, centre, size * 0.6, size * 0.3, a); });
  }
  c.fill(circleBounds(at, size * 0.35), heart, [&](Vec2 p) { return circleDistance(p, at, size * 0.3); });
}

// ---- Pictures 1 to 8: the swaying saguaro --------------------------------------

struct Saguaro {
  std::vector<Vec2> trunk;
  std::vector<double> trunkRadii;
  std::vector<std::vector<Vec2>> arms;
  std::vector<double> armRadii;
  Vec2 top;
  Vec2 armTip;
};

Saguaro shapeSaguaro(double phase) {
  Saguaro s;
  const double baseX = 1.0, baseY = 0.19, height = 0.92;
  const double sway = 0.055 * std::sin(phase);
  auto trunkAt = [&](double t) { return Vec2{baseX + sway * t * t, baseY + height * t}; };
  for (int i = 0; i <= 8; ++i) {
    double t = i / 8.0;
    s.trunk.push_back(trunkAt(t));
    s.trunkRadii.push_back(0.088 - 0.012 * t);
  }
  s.top = trunkAt(1.0) + Vec2{0, 0.06};
  // Arms bend out of the trunk and up; their tips lag behind the trunk's sway.
  const double lag = 0.028 * std::sin(phase - 0.9);
  auto arm = [&](double t, double side, double reach, double rise) {
    Vec2 root = trunkAt(t);
    std::vector<Vec2> pts = {root, root + Vec2{side * reach * 0.55, 0.0}};
    Vec2 elbow = root + Vec2{side * reach, 0.06};
    for (int i = 0; i <= 4; ++i) {
      double a = PI / 2 * i / 4;  // quarter turn from outwards to upwards
      pts.push_back(elbow + Vec2{side * (std::sin(a) - 1) * 0.06 + 0.0, -std::cos(a) * 0.06 + 0.0});
    }
    pts.push_back(elbow + Vec2{lag * 0.5, rise * 0.5});
    pts.push_back(elbow + Vec2{lag, rise});
    return pts;
  };
  s.arms.push_back(arm(0.36, -1, 0.21, 0.3));
  s.arms.push_back(arm(0.5, 1, 0.18, 0.24));
  s.armRadii = {0.05, 0.05, 0.052, 0.052, 0.052, 0.052, 0.052, 0.05, 0.046};
  s.armTip = s.arms[0].back() + Vec2{0, 0.045};
  return s;
}

void drawSaguaro(Canvas& c, const Saguaro& s, double phase) {
  const Color body = rgb255(72, 164, 84);
  const Color rib = rgb255(46, 122, 62);
  const Color light = rgb255(132, 206, 116);
  const Color spine = rgb255(252, 250, 232);
  for (const auto& armPts : s.arms) {
    c.fill(tubeBounds(armPts, s.armRadii), body, [&](Vec2 p) { return tubeDistance(p, armPts, s.armRadii); });
  }
  // The trunk stands flat on the sand.
  const double base = s.trunk.front().y;
  c.fill(tubeBounds(s.trunk, s.trunkRadii), body,
         [&](Vec2 p) { return std::max(tubeDistance(p, s.trunk, s.trunkRadii), base - p.y); });

  // Ribs and a highlight: lines offset from the centre line, inside the body.
  auto offsetLine = [&](const std::vector<Vec2>& pts, const std::vector<double>& radii, double k, double from,
                        double to) {
    std::vector<Vec2> out;
    for (size_t i = 0; i < pts.size(); ++i) {
      Vec2 dir = i + 1 < pts.size() ? pts[i + 1] - pts[i] : pts[i] - pts[i - 1];
      Vec2 side = Vec2{-dir.y, dir.x} * (1.0 / length(dir));
      double t = double(i) / (pts.size() - 1);
      if (t >= from && t <= to) out.push_back(pts[i] + side * (radii[i] * k));
    }
    return out;
  };
  auto stroke = [&](const std::vector<Vec2>& line, double width, Color color) {
    std::vector<double> r(line.size(), width);
    c.fill(tubeBounds(line, r), color, [&](Vec2 p) { return tubeDistance(p, line, r); });
  };
  stroke(offsetLine(s.trunk, s.trunkRadii, 0.62, 0.05, 0.9), 0.013, light);
  for (double k : {0.3, -0.15, -0.55}) stroke(offsetLine(s.trunk, s.trunkRadii, k, 0.02, 0.98), 0.006, rib);
  for (const auto& armPts : s.arms) {
    stroke(offsetLine(armPts, s.armRadii, 0.0, 0.15, 1.0), 0.005, rib);
  }
  // Spines: short white ticks along the trunk's sides.
  for (int i = 1; i < 14; ++i) {
    double t = i / 14.0;
    size_t seg = static_cast<size_t>(t * (s.trunk.size() - 1));
    Vec2 at = s.trunk[seg] + (s.trunk[seg + 1] - s.trunk[seg]) * (t * (s.trunk.size() - 1) - seg);
    double r = mix(s.trunkRadii[seg], s.trunkRadii[seg + 1], t * (s.trunk.size() - 1) - seg);
    for (int side = -1; side <= 1; side += 2) {
      Vec2 a = at + Vec2{side * r * 0.97, 0}, b = a + Vec2{side * 0.022, 0.012};
      c.fill(pointsBounds({a, b}, 0.01), spine, [&](Vec2 p) { return segmentDistance(p, a, b) - 0.0035; });
    }
  }
  // Flowers open and close once per loop, the arm's bud half a loop later.
  double open = 0.5 + 0.5 * std::cos(phase);
  drawFlower(c, s.top, 0.045 + 0.025 * open, 0.05 * std::sin(phase), rgb255(244, 92, 146), rgb255(255, 222, 84));
  double bud = 0.5 - 0.5 * std::cos(phase);
  drawFlower(c, s.armTip, 0.03 + 0.018 * bud, 0.0, rgb255(250, 140, 176), rgb255(255, 222, 84));
}

void drawButterfly(Canvas& c, Vec2 at, double flap) {
  const Color wing = rgb255(255, 150, 40);
  const Color body = rgb255(70, 50, 40);
  double spread = 0.35 + 0.65 * flap;
  for (int side = -1; side <= 1; side += 2) {
    Vec2 upper = at + Vec2{side * 0.028 * spread, 0.014};
    Vec2 lower = at + Vec2{side * 0.02 * spread, -0.014};
    c.fill(circleBounds(upper, 0.04), wing, [&](Vec2 p) { return ellipseDistance(p, upper, 0.03 * spread + 0.004, 0.022); });
    c.fill(circleBounds(lower, 0.03), wing, [&](Vec2 p) { return ellipseDistance(p, lower, 0.02 * spread + 0.004, 0.015); });
  }
  c.fill(circleBounds(at, 0.04), body, [&](Vec2 p) { return ellipseDistance(p, at, 0.006, 0.03); });
}

Raster desertLoopPicture(int frame) {
  const double phase = 2 * PI * frame / CACTUS_LOOP_LENGTH;
  Canvas c(CACTUS_PICTURE_SIZE, CACTUS_PICTURE_SIZE, W, H, Color{});
  const std::vector<Band> sky = {{1.14, rgb255(112, 188, 234)},
                                 {0.95, rgb255(146, 205, 240)},
                                 {0.78, rgb255(184, 224, 246)},
                                 {0.0, rgb255(218, 238, 246)}};
  c.paint([&](Vec2 p) { return bandColor(sky, p.y); });
  // The rays turn by one ray spacing over the loop, so frame 8 leads into frame 1.
  drawSun(c, {1.6, 1.1}, 0.1, double(frame) / CACTUS_LOOP_LENGTH, rgb255(255, 212, 76), rgb255(255, 232, 150));
  drawCloud(c, {0.42, 1.16}, 1.0, rgb255(255, 255, 255));
  drawCloud(c, {1.12, 1.27}, 0.7, rgb255(246, 250, 252));

  drawGround(c, rgb255(232, 178, 138), 0.9, [](double x) {
    return x < 0.55 ? 0.62 + 0.2 * smoothstep(0.08, 0.16, x) * (1 - smoothstep(0.42, 0.5, x)) : 0.62;
  });
  drawGround(c, rgb255(208, 132, 96), 0.9, [](double x) {
    return 0.62 + 0.16 * smoothstep(1.28, 1.36, x) * (1 - smoothstep(1.62, 1.7, x)) +
           0.1 * smoothstep(1.66, 1.72, x) * (1 - smoothstep(1.84, 1.9, x));
  });
  drawGround(c, rgb255(238, 204, 142), 0.7, [](double x) { return 0.58 + 0.04 * std::sin(x * 2.3 + 0.4); });
  drawGround(c, rgb255(244, 214, 154), 0.6, [](double x) { return 0.44 + 0.05 * std::sin(x * 1.7 + 2.0); });
  drawGround(c, rgb255(250, 228, 172), 0.4, [](double x) { return 0.26 + 0.04 * std::sin(x * 2.9 + 1.0); });

  Saguaro s = shapeSaguaro(phase);
  // Shadow on the sand, leaning with the cactus.
  Vec2 shadow{1.16 + 0.03 * std::sin(phase), 0.2};
  c.fill(circleBounds(shadow, 0.3), rgb255(226, 192, 128),
         [&](Vec2 p) { return ellipseDistance(p, shadow, 0.24, 0.03); });
  for (Vec2 rock : {Vec2{0.5, 0.17}, Vec2{1.55, 0.22}}) {
    c.fill(circleBounds(rock, 0.06), rgb255(176, 146, 116), [&](Vec2 p) {
      return std::max(ellipseDistance(p, rock, 0.055, 0.032), rock.y - 0.004 - p.y);
    });
  }

  // The butterfly circles the cactus: behind it for half the loop, in front for the rest.
  double orbit = phase + 0.6;
  Vec2 fly{1.0 + 0.36 * std::cos(orbit), 0.95 + 0.08 * std::sin(orbit) + 0.02 * std::sin(2 * orbit)};
  double flap = std::fabs(std::cos(2 * phase));
  bool behind = std::sin(orbit) > 0;
  if (behind) drawButterfly(c, fly, flap);
  drawSaguaro(c, s, phase);
  if (!behind) drawButterfly(c, fly, flap);
  drawFrame(c);
  return c.raster();
}

// ---- Picture 9: prickly pear at sunset -----------------------------------------

Raster pricklyPearPicture() {
  Canvas c(CACTUS_PICTURE_SIZE, CACTUS_PICTURE_SIZE, W, H, Color{});
  const std::vector<Band> sky = {{1.15, rgb255(120, 110, 190)},
                                 {0.98, rgb255(196, 120, 176)},
                                 {0.82, rgb255(246, 150, 132)},
                                 {0.0, rgb255(255, 196, 120)}};
  c.paint([&](Vec2 p) { return bandColor(sky, p.y); });
  c.fill(circleBounds({0.55, 0.62}, 0.22), rgb255(255, 226, 120),
         [](Vec2 p) { return circleDistance(p, {0.55, 0.62}, 0.2); });
  drawGround(c, rgb255(150, 96, 138), 0.95, [](double x) {
    return 0.6 + 0.22 * smoothstep(1.1, 1.2, x) * (1 - smoothstep(1.7, 1.8, x));
  });
  drawGround(c, rgb255(228, 160, 112), 0.7, [](double x) { return 0.5 + 0.05 * std::sin(x * 2.0); });
  drawGround(c, rgb255(240, 184, 128), 0.5, [](double x) { return 0.3 + 0.04 * std::sin(x * 3.1 + 1.0); });
  struct Pad {
    Vec2 at;
    double rx, ry, angle;
  };
  const Pad pads[] = {{{1.0, 0.42}, 0.13, 0.18, 0.0},   {{0.84, 0.66}, 0.1, 0.14, 0.5},
                      {{1.15, 0.7}, 0.11, 0.15, -0.35}, {{0.97, 0.86}, 0.09, 0.12, 0.15},
                      {{1.3, 0.92}, 0.08, 0.11, -0.6},  {{0.72, 0.88}, 0.07, 0.1, 0.8}};
  for (const Pad& pad : pads) {
    c.fill(circleBounds(pad.at, 0.2), rgb255(60, 132, 70),
           [&](Vec2 p) { return ellipseDistance(p, pad.at, pad.rx, pad.ry, pad.angle); });
    c.fill(circleBounds(pad.at, 0.2), rgb255(104, 178, 92),
           [&](Vec2 p) { return ellipseDistance(p, pad.at, pad.rx - 0.015, pad.ry - 0.015, pad.angle); });
    for (int i = 0; i < 7; ++i) {
      double a = 2.4 * i;
      Vec2 dot{pad.at.x + 0.55 * pad.rx * std::cos(a) * (0.3 + 0.1 * i), pad.at.y + 0.55 * pad.ry * std::sin(a) * (0.3 + 0.1 * i)};
      c.fill(circleBounds(dot, 0.01), rgb255(250, 236, 150), [&](Vec2 p) { return circleDistance(p, dot, 0.007); });
    }
  }
  for (Vec2 fruit : {Vec2{0.99, 0.99}, Vec2{1.36, 1.03}, Vec2{0.66, 0.98}, Vec2{0.9, 0.96}}) {
    c.fill(circleBounds(fruit, 0.05), rgb255(200, 40, 90),
           [&](Vec2 p) { return ellipseDistance(p, fruit, 0.028, 0.04); });
  }
  drawFrame(c);
  return c.raster();
}

// ---- Picture 10: barrel cactus in a pot -----------------------------------------

Raster pottedBarrelPicture() {
  Canvas c(CACTUS_PICTURE_SIZE, CACTUS_PICTURE_SIZE, W, H, Color{});
  c.paint([](Vec2 p) {
    bool stripe = std::fmod(p.x + 10, 0.2) < 0.1;
    return stripe ? rgb255(206, 234, 224) : rgb255(226, 244, 236);
  });
  c.fill({{0, 0}, {W, 0.36}}, rgb255(150, 100, 62), [](Vec2 p) { return p.y - 0.34; });
  c.fill({{0, 0}, {W, 0.3}}, rgb255(128, 84, 52), [](Vec2 p) { return p.y - 0.28; });
  const std::vector<Vec2> pot = {{0.78, 0.3}, {1.22, 0.3}, {1.3, 0.62}, {0.7, 0.62}};
  c.fill(pointsBounds(pot), rgb255(206, 110, 70), [&](Vec2 p) { return polygonDistance(p, pot); });
  const std::vector<Vec2> rim = {{0.66, 0.6}, {1.34, 0.6}, {1.34, 0.68}, {0.66, 0.68}};
  c.fill(pointsBounds(rim), rgb255(224, 130, 86), [&](Vec2 p) { return polygonDistance(p, rim); });
  Vec2 barrel{1.0, 0.88};
  c.fill(circleBounds(barrel, 0.3), rgb255(62, 140, 86), [&](Vec2 p) {
    return std::max(ellipseDistance(p, barrel, 0.26, 0.24), 0.665 - p.y);
  });
  for (int i = -3; i <= 3; ++i) {
    double k = i / 3.5;
    c.fill(circleBounds(barrel, 0.3), rgb255(40, 110, 66), [&](Vec2 p) {
      // Ribs: thin ellipse arcs that narrow towards the sides.
      double rx = std::max(0.004, 0.26 * std::fabs(k));
      double ring = std::fabs(ellipseDistance(p, barrel, rx, 0.24));
      bool sideOk = (p.x - barrel.x) * (k >= 0 ? 1 : -1) >= -1e-9 || i == 0;
      double d = i == 0 ? std::fabs(p.x - barrel.x) - 0.004 : ring - 0.004;
      return (sideOk && p.y > 0.665 && ellipseDistance(p, barrel, 0.26, 0.24) < 0) ? d : 1.0;
    });
  }
  for (int i = 0; i < 5; ++i) {
    Vec2 at{0.88 + 0.06 * i, 1.1 + 0.02 * std::sin(i * 1.7)};
    drawFlower(c, at, 0.035, 0.3 * i, rgb255(255, 214, 60), rgb255(236, 120, 40));
  }
  drawFrame(c);
  return c.raster();
}

}  // namespace

Raster makeCactusPicture(int k) {
  if (k >= 1 && k <= CACTUS_LOOP_LENGTH) return desertLoopPicture(k - 1);
  if (k == 9) return pricklyPearPicture();
  if (k == 10) return pottedBarrelPicture();
  throw std::out_of_range("cactus picture number");
}

TgaOptions cactusEncoding(int k) {
  // Between them: types 2 and 10, 24 and 32 bits, both row orders, and image IDs.
  static const TgaOptions table[CACTUS_PICTURE_COUNT] = {
      {false, 24, false, ""},
      {true, 24, true, ""},
      {false, 32, true, ""},
      {true, 32, false, ""},
      {true, 24, false, "Velmora cactus 5"},
      {false, 24, true, "cactus frame 6"},
      {true, 32, true, ""},
      {false, 32, false, ""},
      {true, 24, true, ""},
      {false, 24, false, "barrel cactus"},
  };
  if (k < 1 || k > CACTUS_PICTURE_COUNT) throw std::out_of_range("cactus picture number");
  return table[k - 1];
}

}  // namespace datagen
