// The sky box faces and the ground tile.
#include "datagen/sky_pictures.h"

#include <algorithm>
#include <cmath>

#include "datagen/noise.h"
#include "datagen/random.h"
#include "datagen/vec.h"

namespace datagen {

namespace {

// ---- Scene geometry --------------------------------------------------------------

constexpr double HALF = 45.0;    // walls at x, z = +-45
constexpr double TOP_Y = 20.0;   // top face height
const Vec3 EYE{0, 0.5, 0};       // where the panorama is seen from
constexpr double BAND = 4.0;     // width of the edge bands that are made symmetric
constexpr double DEG = 180.0 / PI;

constexpr uint32_t SEED_CLOUDS = 0x51c0u;
constexpr uint32_t SEED_FAR_HILLS = 0x4111u;
constexpr uint32_t SEED_NEAR_HILLS = 0x4112u;
constexpr uint32_t SEED_TREES = 0x7ee5u;
constexpr uint32_t SEED_FOLIAGE = 0xf011u;
constexpr uint32_t SEED_GAPS = 0x6a95u;
constexpr uint32_t SEED_CONIFERS = 0xc0f1u;

// ---- Scalar fields of the panorama -----------------------------------------------
// Everything that varies with azimuth or across the sky is a scalar field of the point
// on the box, so the edge bands can average it over the point's mirror images
// (averaging colours instead would ghost the tree outlines).

// Crest elevations (degrees) along the horizon: they depend on the azimuth only.
struct Profiles {
  double farHill = 0;
  double nearHill = 0;
  double trees = 0;
};

Profiles& operator+=(Profiles& a, const Profiles& b) {
  a.farHill += b.farHill, a.nearHill += b.nearHill, a.trees += b.trees;
  return a;
}
double mixed(double a, double b, double t) { return mix(a, b, t); }
struct CloudNoise;
CloudNoise mixed(const CloudNoise& a, const CloudNoise& b, double t);
Profiles mixed(const Profiles& a, const Profiles& b, double t) {
  return {mix(a.farHill, b.farHill, t), mix(a.nearHill, b.nearHill, t), mix(a.trees, b.trees, t)};
}

double azimuthTurns(Vec3 d) {
  double a = std::atan2(d.x, d.z) / (2 * PI);
  return a < 0 ? a + 1 : a;
}

Profiles profilesAt(double a) {
  Profiles f;
  // Far range: broad ridges; nearer range: rounded hills.
  double ridge = 1 - std::fabs(loopNoise(a, 9, SEED_FAR_HILLS, 4, 0.5));
  f.farHill = 1.4 + 3.2 * ridge * ridge * (0.6 + 0.4 * loopNoise(a, 3, SEED_FAR_HILLS + 3u, 2, 0.5));
  f.nearHill = 0.5 + 2.4 * (0.5 + 0.5 * loopNoise(a, 11, SEED_NEAR_HILLS, 4, 0.5));
  // Deciduous canopy: |noise| gives round crowns with sharp gaps between them.
  // Crowns vary in size along the line, so it does not read as a row of scallops.
  double crownSize = 0.5 + 0.8 * (0.5 + 0.5 * loopNoise(a, 37, SEED_TREES + 9u, 2, 0.5));
  double canopy = 2.1 + 1.3 * loopNoise(a, 20, SEED_TREES, 3, 0.5) +
                  0.8 * crownSize * (std::fabs(loopNoise(a, 150, SEED_TREES + 7u, 1, 0.35)) - 0.3);
  // Conifers: pointed tops on some stretches.
  // Each of 420 cells round the horizon may hold one, placed and sized at random;
  // its neighbours' trees can reach into it.
  double coniferZone = smoothstep(0.05, 0.35, loopNoise(a, 9, SEED_CONIFERS, 2, 0.5));
  if (coniferZone > 0) {
    const int CELLS = 420;
    double cells = a * CELLS;
    int cellIndex = static_cast<int>(std::floor(cells));
    for (int k = cellIndex - 2; k <= cellIndex + 2; ++k) {
      int cell = (k + CELLS) % CELLS;
      if (hashUnit(cell, 1, 0, SEED_CONIFERS) < 0.35) continue;
      double centre = k + 0.2 + 0.6 * hashUnit(cell, 2, 0, SEED_CONIFERS);
      double halfWidth = 0.7 + 0.5 * hashUnit(cell, 3, 0, SEED_CONIFERS);
      double height = 1.8 + 1.6 * hashUnit(cell, 4, 0, SEED_CONIFERS);
      double spike = coniferZone * height * std::max(0.0, 1 - std::fabs(cells - centre) / halfWidth);
      canopy = std::max(canopy, 0.6 + spike);
    }
  }
  // Clearings where the trees thin out and the hills behind show.
  double thin = smoothstep(-0.35, 0.05, loopNoise(a, 6, SEED_GAPS, 3, 0.5));
  f.trees = -0.3 + (canopy + 0.3) * (0.25 + 0.75 * thin);
  return f;
}

// Cloud noise on the plane y = 20 (the top face itself), before it is thresholded into
// density. Octaves finer than about two texels' footprint on that plane are left out.
struct CloudNoise {
  double shape = 0;  // about -1..1
  double cover = 0;  // 0..1: how much of the sky the clouds take here
};

CloudNoise& operator+=(CloudNoise& a, const CloudNoise& b) {
  a.shape += b.shape, a.cover += b.cover;
  return a;
}
CloudNoise operator*(CloudNoise a, double s) { return {a.shape * s, a.cover * s}; }

CloudNoise cloudNoise(Vec3 point, double footprint) {
  Vec3 dir = normalize(point - EYE);
  double k = (TOP_Y - EYE.y) / std::max(dir.y, 0.005);
  double px = EYE.x + dir.x * k, pz = EYE.z + dir.z * k;
  const double scale = 1.0 / 34.0;  // cells per world unit of the first octave
  double x = px * scale + 3.7, y = pz * scale + 8.1;
  double sum = 0, amplitude = 1, total = 0, cell = footprint * scale;
  for (int o = 0; o < 6; ++o) {
    double keep = clamp01(1.6 - 2.5 * cell);
    if (keep > 0) sum += keep * amplitude * gradientNoise(x, y, SEED_CLOUDS + 31u * o);
    total += amplitude;
    amplitude *= 0.52;
    x *= 2.03, y *= 2.03, cell *= 2.03;
  }
  // Broad cover variation so some of the sky stays open.
  double cover = 0.5 + 0.5 * gradientNoise(px / 160.0 + 11.3, pz / 160.0 - 4.2, SEED_CLOUDS ^ 0xabcu);
  return {sum / total, cover};
}

CloudNoise mixed(const CloudNoise& a, const CloudNoise& b, double t) {
  return {mix(a.shape, b.shape, t), mix(a.cover, b.cover, t)};
}

double cloudDensity(const CloudNoise& n) { return smoothstep(0.02 - 0.22 * n.cover, 0.42 - 0.1 * n.cover, n.shape); }

double foliageAt(double a, double e) { return fractalNoise(a * 900.0, e * 5.5, SEED_FOLIAGE, 3, 0.55, 900, 0); }

// Weight of the symmetric version: 1 on the box's edges that GL_REPEAT joins (the
// wall corners and the top's rim), fading to 0 over BAND units.
double edgeWeight(Vec3 p) {
  double ax = std::fabs(p.x), az = std::fabs(p.z);
  bool onTop = p.y >= TOP_Y - 1e-9;
  double toRim = onTop ? HALF - std::max(ax, az) : TOP_Y - p.y;
  double toCorner = onTop ? BAND : HALF - std::min(ax, az);
  return 1 - smoothstep(0, BAND, std::min(toRim, toCorner));
}

// A field at p, pulled towards its mean over p's mirror images across x = 0 and z = 0
// by the edge weight. Those images are points on the box too; at a wall corner or on
// the top's rim their mean is the same for both faces that the wrap joins.
template <typename Field>
auto symmetric(Vec3 p, double w, const Field& field) {
  auto own = field(p);
  if (w <= 0) return own;
  decltype(own) mean{};
  for (int sx = -1; sx <= 1; sx += 2) {
    for (int sz = -1; sz <= 1; sz += 2) mean += field(Vec3{p.x * sx, p.y, p.z * sz});
  }
  return mixed(own, mean * 0.25, w);
}

Profiles operator*(Profiles a, double s) { return {a.farHill * s, a.nearHill * s, a.trees * s}; }

// ---- Colours ------------------------------------------------------------------

const Color HORIZON_HAZE = rgb255(214, 226, 234);
const Color SKY_LOW = rgb255(160, 194, 228);
const Color SKY_HIGH = rgb255(84, 136, 206);
const Color ZENITH = rgb255(62, 112, 190);
const Color CLOUD_LIT = rgb255(253, 253, 251);
const Color CLOUD_BASE = rgb255(196, 204, 218);
const Color FAR_HILL = rgb255(146, 168, 190);
const Color NEAR_HILL = rgb255(92, 124, 104);
const Color MEADOW = rgb255(118, 146, 92);
const Color TREE_DARK = rgb255(26, 50, 28);
const Color TREE_LIT = rgb255(74, 106, 50);
// Blue haze at the trees' foot: close to the sky at the walls' top, which the wrap
// filters together with the walls' bottom rows.
const Color GROUND_MIST = rgb255(124, 158, 196);

Color skyGradient(double e) {
  double t = clamp01(e / 90.0);
  Color c = mixColor(SKY_LOW, SKY_HIGH, smoothstep(0.0, 0.45, std::sqrt(t)));
  c = mixColor(c, ZENITH, smoothstep(0.4, 1.0, t));
  // A pale band of haze right above the horizon.
  return mixColor(c, HORIZON_HAZE, std::exp(-std::max(e, 0.0) / 4.0));
}

// Coverage of the region below `edge` for a texel at elevation e, with an antialiasing
// ramp one texel wide.
double below(double e, double edge, double texelDeg) { return clamp01((edge - e) / texelDeg + 0.5); }

// The colour of point p on the box, given the horizon profiles that hold there (or
// nullptr above the highest hills, where they cannot show).
Color panoramaColor(Vec3 p, double texelSize, const Profiles* profiles) {
  Vec3 toPoint = p - EYE;
  double distance = length(toPoint);
  Vec3 d = toPoint * (1 / distance);
  double e = std::asin(d.y) * DEG;
  double texelDeg = texelSize / distance * DEG;
  double w = edgeWeight(p);
  Profiles f = profiles ? *profiles : Profiles{-90, -90, -90};
  double lowestCrest = std::min({f.farHill, f.nearHill, f.trees});

  Color c = skyGradient(e);
  if (e > 0.5 && e > lowestCrest - texelDeg) {
    // A texel's footprint on the cloud plane grows with the square of the distance.
    double planeDistance = (TOP_Y - EYE.y) / std::max(d.y, 0.005);
    double footprint = texelSize * planeDistance / distance / std::max(d.y, 0.02);
    CloudNoise noise = symmetric(p, w, [&](Vec3 q) { return cloudNoise(q, footprint); });
    // A mean of unrelated noise is flatter than each: restore the noise's spread, so
    // the clouds in the edge bands look like all the others.
    noise.shape /= std::sqrt((1 - w) * (1 - w) + w * w / 4);
    double cloud = cloudDensity(noise);
    // Bright rims, greyer thick middles, sinking into the haze near the horizon.
    double alpha = smoothstep(0.0, 0.8, cloud) * smoothstep(0.5, 9.0, e);
    Color tint = mixColor(CLOUD_LIT, CLOUD_BASE, std::pow(cloud, 1.8) * 0.8);
    tint = mixColor(tint, HORIZON_HAZE, std::exp(-e / 6.0) * 0.6);
    c = mixColor(c, tint, alpha);
  }
  if (!profiles) return c;

  // Far range: hazy, lighter towards its foot.
  Color far = mixColor(FAR_HILL, HORIZON_HAZE, 0.4 * (1 - clamp01(e / f.farHill)));
  c = mixColor(c, far, below(e, f.farHill, texelDeg));
  Color nearHill = mixColor(NEAR_HILL, FAR_HILL, 0.45 * (1 - clamp01(e / std::max(f.nearHill, 0.1))));
  c = mixColor(c, nearHill, below(e, f.nearHill, texelDeg));
  // Meadow below the horizon, seen through the clearings.
  Color meadow = mixColor(MEADOW, HORIZON_HAZE, 0.25 * clamp01(1 + e / 1.2));
  c = mixColor(c, meadow, below(e, 0.0, texelDeg));

  double treeCover = below(e, f.trees, texelDeg);
  if (treeCover > 0) {
    // The treeline at the ground's edge: lit crowns, darker towards the foot.
    double foliage = symmetric(p, w, [&](Vec3 q) { return foliageAt(azimuthTurns(q - EYE), e); });
    double fromTop = f.trees - e;
    double light = 0.5 + 0.35 * std::exp(-std::max(fromTop, 0.0) / 0.8) + 0.3 * foliage;
    light -= 0.25 * smoothstep(0.5, -0.4, e);
    Color tree = mixColor(TREE_DARK, TREE_LIT, clamp01(light));
    // Ground haze at the trees' foot, where the ground's far edge meets the wall.
    tree = mixColor(tree, GROUND_MIST, 0.8 * smoothstep(0.15, -0.64, e));
    c = mixColor(c, tree, treeCover);
  }
  return c;
}

// ---- Faces ---------------------------------------------------------------------

// A wall: every column shares one azimuth, so its horizon profiles are found once.
template <typename PointAt>
Raster renderWall(const PointAt& pointAt) {
  const double texel = 2 * HALF / SKY_WALL_WIDTH;
  Raster r(SKY_WALL_WIDTH, SKY_WALL_HEIGHT);
  for (int i = 0; i < SKY_WALL_WIDTH; ++i) {
    double s = (i + 0.5) / SKY_WALL_WIDTH;
    Vec3 foot = pointAt(s, 0.0);
    Profiles own = profilesAt(azimuthTurns(foot - EYE));
    Profiles mean{};
    for (int sx = -1; sx <= 1; sx += 2) {
      for (int sz = -1; sz <= 1; sz += 2) mean += profilesAt(azimuthTurns(Vec3{foot.x * sx, 0, foot.z * sz} - EYE));
    }
    mean = mean * 0.25;
    for (int j = 0; j < SKY_WALL_HEIGHT; ++j) {
      Vec3 p = pointAt(s, (j + 0.5) / SKY_WALL_HEIGHT);
      Profiles here = mixed(own, mean, edgeWeight(p));
      r.at(i, j) = panoramaColor(p, texel, &here);
    }
    // GL_REPEAT filters the wall's top edge with its bottom row: a dark bottom row
    // would draw a line across the sky, where a sky-coloured one only lightens the
    // hazy foot of the trees by a fraction of a pixel.
    r.at(i, 0) = mixColor(r.at(i, 0), r.at(i, SKY_WALL_HEIGHT - 1), 0.5);
  }
  return r;
}

}  // namespace

SkyBoxPictures makeSkyBox() {
  auto height = [](double t) { return TOP_Y * t; };
  SkyBoxPictures sky;
  // Wall texture coordinates: s runs to the viewer's right (seen from inside), t upwards.
  sky.posZ = renderWall([&](double s, double t) { return Vec3{HALF - 2 * HALF * s, height(t), HALF}; });
  sky.posX = renderWall([&](double s, double t) { return Vec3{-HALF, height(t), HALF - 2 * HALF * s}; });
  sky.negZ = renderWall([&](double s, double t) { return Vec3{-HALF + 2 * HALF * s, height(t), -HALF}; });
  sky.negX = renderWall([&](double s, double t) { return Vec3{HALF, height(t), -HALF + 2 * HALF * s}; });
  // The top's coordinates run over [-1, 0] and wrap: texel (s, t) lies at
  // z = 90 s - 45, x = 45 - 90 t. It is all high above the hills.
  const double topTexel = 2 * HALF / SKY_TOP_SIZE;
  sky.top = Raster(SKY_TOP_SIZE, SKY_TOP_SIZE);
  for (int j = 0; j < SKY_TOP_SIZE; ++j) {
    for (int i = 0; i < SKY_TOP_SIZE; ++i) {
      double s = (i + 0.5) / SKY_TOP_SIZE, t = (j + 0.5) / SKY_TOP_SIZE;
      sky.top.at(i, j) = panoramaColor(Vec3{HALF - 2 * HALF * t, TOP_Y, 2 * HALF * s - HALF}, topTexel, nullptr);
    }
  }
  return sky;
}

Raster makeGroundTile() {
  const int n = GROUND_TILE_SIZE;
  // Lit by the scene's chrome material the ground shows at about 0.65 of these.
  const Color base = rgb255(124, 176, 80);
  const Color dry = rgb255(146, 178, 86);
  const Color lush = rgb255(106, 168, 78);
  Raster r(n, n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      double u = (i + 0.5) / n, v = (j + 0.5) / n;
      // Only detail well below the cell's size: anything broader would repeat visibly
      // from cell to cell. All noise tiles with the picture (period = frequency).
      double hue = fractalNoise(u * 8, v * 8, 0x6e01u, 2, 0.5, 8, 8);
      double clumps = fractalNoise(u * 16, v * 16, 0x6e02u, 2, 0.5, 16, 16);
      double blades = fractalNoise(u * 48, v * 48, 0x6e03u, 2, 0.45, 48, 48);
      Color c = mixColor(base, hue > 0 ? dry : lush, std::min(1.0, std::fabs(hue) * 0.7));
      r.at(i, j) = shade(c, 1 + 0.03 * clumps + 0.04 * blades);
    }
  }
  // Blades seen from above: short faint strokes, lighter or darker, wrapped round the
  // tile's edges so it still tiles.
  Pcg32 rng(0x6e04u);
  for (int k = 0; k < 900; ++k) {
    double cx = rng.uniform(0, n), cy = rng.uniform(0, n);
    double angle = rng.uniform(0, PI), len = rng.uniform(4, 11), tone = rng.uniform() < 0.5 ? 0.93 : 1.07;
    double dx = std::cos(angle) * len / 2, dy = std::sin(angle) * len / 2;
    int x0 = static_cast<int>(std::floor(cx - len)), x1 = static_cast<int>(std::ceil(cx + len));
    int y0 = static_cast<int>(std::floor(cy - len)), y1 = static_cast<int>(std::ceil(cy + len));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        // Distance from the texel centre to the stroke's segment.
        double px = x + 0.5 - cx, py = y + 0.5 - cy;
        double t = clamp01((px * dx + py * dy) / (dx * dx + dy * dy) * 0.5 + 0.5) * 2 - 1;
        double ex = px - dx * t, ey = py - dy * t;
        double cover = clamp01(1.2 - std::sqrt(ex * ex + ey * ey)) * (1 - 0.5 * std::fabs(t));
        if (cover <= 0) continue;
        Color& c = r.at(((x % n) + n) % n, ((y % n) + n) % n);
        c = shade(c, mix(1.0, tone, cover));
      }
    }
  }
  return r;
}

}  // namespace datagen
