// The ground's pieces, without OpenGL: which tiles go coarse under which
// lights, and that the pieces meet the cells and each other without cracks,
// texture the cells' way and, by the planner's own lighting model, light
// within its tolerance of the cells' vertices. OpenGL's own lighting of pieces
// and cells, read back, is compared in tests/culling_equivalence.
#include "scene/culling/ground_pieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "scene/culling/ground_lighting.h"
#include "scene/materials.h"

namespace {

using Vec3 = std::array<double, 3>;

Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 unit(const Vec3& v) {
  const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  return {v[0] / n, v[1] / n, v[2] / n};
}

// The ground's lighting as the frame sets it up: a camera at `eye` looking at
// `centre`, the ground's translation (0, 0, 2), the chrome material, and the
// lights given in eye space.
struct Scene {
  Vec3 eye, centre;
  double ambient = 1;
  bool sun = true;
  Vec3 sunDirection{0, 1, 0};
  double sunDiffuse = 1;
  bool headlight = false;
  bool lamp = true;
  Vec3 lampGround{1.5, 0.17, -2};  // the lamp's place and aim, in the ground's space
  Vec3 lampAim{-1, -0.3, 0.2};
  double lampDiffuse = 2;
};

GroundLighting lightingOf(const Scene& scene) {
  GroundLighting model;
  // gluLookAt's rotation, then the translation by -eye and the ground's +2 in z.
  const Vec3 f = unit({scene.centre[0] - scene.eye[0], scene.centre[1] - scene.eye[1], scene.centre[2] - scene.eye[2]});
  const Vec3 s = unit(cross(f, {0, 1, 0}));
  const Vec3 u = cross(s, f);
  const double r[3][3] = {{s[0], s[1], s[2]}, {u[0], u[1], u[2]}, {-f[0], -f[1], -f[2]}};
  const Vec3 shifted{-scene.eye[0], -scene.eye[1], -scene.eye[2] + 2};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) model.modelview[col * 4 + row] = r[row][col];
    model.modelview[12 + row] = r[row][0] * shifted[0] + r[row][1] * shifted[1] + r[row][2] * shifted[2];
  }
  model.modelview[15] = 1;
  model.normal = {r[0][1], r[1][1], r[2][1]};
  const auto toEye = [&](const Vec3& p, double w) {
    Vec3 out{};
    for (int row = 0; row < 3; ++row) {
      out[row] = r[row][0] * p[0] + r[row][1] * p[1] + r[row][2] * p[2] + w * model.modelview[12 + row];
    }
    return out;
  };
  for (int c = 0; c < 3; ++c) model.base[c] = scene.ambient * CHROME_MATERIAL.ambient[c];
  model.shininess = CHROME_MATERIAL.shininess;
  model.specularFloor = std::pow(1e-6, 1 / model.shininess);
  if (scene.sun) {
    GroundLight& light = model.lights[model.lightCount++];
    light.direction = unit(scene.sunDirection);
    light.position = {light.direction[0], light.direction[1], light.direction[2], 0};
    for (int c = 0; c < 3; ++c) {
      light.diffuse[c] = scene.sunDiffuse * CHROME_MATERIAL.diffuse[c];
      light.specular[c] = CHROME_MATERIAL.specular[c];
    }
    light.hasSpecular = true;
  }
  const auto addSpot = [&](const Vec3& at, const Vec3& aim, double cutoff, double diffuse) {
    GroundLight& light = model.lights[model.lightCount++];
    light.point = at;
    light.position = {at[0], at[1], at[2], 1};
    light.spotDirection = unit(aim);
    light.spot = true;
    light.cutoffDegrees = cutoff;
    light.cosCutoff = std::cos(cutoff * M_PI / 180);
    for (int c = 0; c < 3; ++c) light.diffuse[c] = diffuse * CHROME_MATERIAL.diffuse[c];
  };
  if (scene.headlight) addSpot({0, 0, 0}, {0, 0, -1}, 12, 1);
  if (scene.lamp) {
    addSpot(toEye(scene.lampGround, 1), toEye(scene.lampAim, 0), 20, scene.lampDiffuse);
  }
  return model;
}

// Views for the planner: everything shows, nothing does, or all but scattered
// tiles, so that pieces also meet hidden ones.
struct InView : GroundVisibility {
  bool cellsMayBeCutInDepth(int, int, int, int) const override { return false; }
};
struct Everything : InView {
  bool cellsCanShow(int, int, int, int) const override { return true; }
};
struct Nothing : InView {
  bool cellsCanShow(int, int, int, int) const override { return false; }
};
struct AllButScatteredTiles : InView {
  bool cellsCanShow(int i0, int i1, int k0, int k1) const override {
    for (int i = i0; i < i1; i += GROUND_TILE) {
      for (int k = k0; k < k1; k += GROUND_TILE) {
        if ((i / GROUND_TILE * 7 + k / GROUND_TILE * 3) % 11 != 4) return true;
      }
    }
    return false;
  }
};

GroundPlanner planner;

// Grid indices of a vertex that lies on the grid.
std::pair<int, int> gridPoint(const GroundVertex& v) {
  const std::vector<float>& edges = groundEdges();
  const auto i = std::find(edges.begin(), edges.end(), v.x) - edges.begin();
  const auto k = std::find(edges.begin(), edges.end(), v.z) - edges.begin();
  return {static_cast<int>(i), static_cast<int>(k)};
}

TEST(GroundPieces, EvenLightMakesTheLargestPiecesAndNothingShownMakesNone) {
  Scene scene{{0, 0.5, 5}, {0, 0.5, 4}};
  scene.sun = false;
  scene.lamp = false;
  GroundPlan plan;
  planner.plan(lightingOf(scene), Everything(), plan);
  for (int ti = 0; ti < GROUND_TILES; ++ti) {
    for (int tk = 0; tk < GROUND_TILES; ++tk) {
      ASSERT_EQ(plan.pieceSize[ti][tk], GROUND_LARGEST_SQUARE) << ti << ", " << tk;
    }
  }
  std::vector<GroundVertex> triangles;
  planner.appendPieces(plan, Everything(), triangles);
  // Five by five pieces, each a fan round its centre: four triangles, and one
  // more for every further cell along the ground's own edge (500 a side), so
  // that the ground's outline is the cells'.
  EXPECT_EQ(triangles.size(), 3u * (25 * 4 + 4 * (GROUND_DIVISIONS - 5)));

  planner.plan(lightingOf(scene), Nothing(), plan);
  triangles.clear();
  planner.appendPieces(plan, Nothing(), triangles);
  EXPECT_TRUE(triangles.empty());
}

// Scenes whose light varies: the highlight under a low and a high eye, a
// grazing moving sun, the headlight at night, a kart lamp's cone, colours
// that saturate.
std::vector<std::pair<std::string, Scene>> varyingScenes() {
  std::vector<std::pair<std::string, Scene>> scenes;
  Scene start{{0, 0.5, 5}, {0, 0.5, 4}};
  scenes.emplace_back("start pose", start);
  Scene high = start;
  high.eye = {3, 4, 6};
  high.centre = {0, 0, 0};
  scenes.emplace_back("car view", high);
  Scene grazing = start;
  grazing.sunDirection = {-3, 1, 0.4};
  scenes.emplace_back("moving sun", grazing);
  Scene night = start;
  night.sun = false;
  night.ambient = 0.3;
  night.headlight = true;
  scenes.emplace_back("night", night);
  Scene saturated = grazing;
  saturated.sunDiffuse = 14;
  saturated.lampDiffuse = 14;
  scenes.emplace_back("changing colour", saturated);
  return scenes;
}

TEST(GroundPieces, PiecesMeetEachOtherAndTheCellsWithoutCracks) {
  for (const auto& [name, scene] : varyingScenes()) {
    GroundPlan plan;
    planner.plan(lightingOf(scene), AllButScatteredTiles(), plan);
    std::vector<GroundVertex> triangles;
    planner.appendPieces(plan, AllButScatteredTiles(), triangles);
    // Every vertex anything is drawn with: the pieces' and the cells' corners.
    std::set<std::pair<int, int>> used;
    std::map<int, int> sizes;
    for (const GroundVertex& v : triangles) used.insert(gridPoint(v));
    for (int ti = 0; ti < GROUND_TILES; ++ti) {
      for (int tk = 0; tk < GROUND_TILES; ++tk) {
        ++sizes[plan.pieceSize[ti][tk]];
        if (plan.pieceSize[ti][tk] != 1) continue;
        for (int i = 0; i <= GROUND_TILE; ++i) {
          for (int k = 0; k <= GROUND_TILE; ++k) used.insert({ti * GROUND_TILE + i, tk * GROUND_TILE + k});
        }
      }
    }
    // The scene must mix sizes, or there is nothing to meet.
    EXPECT_GE(sizes.size(), 3u) << name;
    // No side of any triangle, outer edge, diagonal or spoke, may hold a
    // vertex of anything else between its ends: that would be a T-junction,
    // and a crack.
    int edges = 0;
    for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
      for (int side = 0; side < 3; ++side) {
        const auto [i0, k0] = gridPoint(triangles[t + side]);
        const auto [i1, k1] = gridPoint(triangles[t + (side + 1) % 3]);
        ++edges;
        // The grid points on the side are its gcd + 1 evenly spaced points.
        const int steps = std::gcd(std::abs(i1 - i0), std::abs(k1 - k0));
        for (int n = 1; n < steps; ++n) {
          const std::pair<int, int> between{i0 + (i1 - i0) / steps * n, k0 + (k1 - k0) / steps * n};
          EXPECT_EQ(used.count(between), 0u) << name << ": (" << between.first << ", " << between.second
                                            << ") lies inside the side from (" << i0 << ", " << k0 << ") to ("
                                            << i1 << ", " << k1 << ")";
        }
      }
    }
    EXPECT_GT(edges, 0) << name;
  }
}

TEST(GroundPieces, PiecesTextureAndLightAsTheirCells) {
  for (const auto& [name, scene] : varyingScenes()) {
    const GroundLighting lighting = lightingOf(scene);
    GroundPlan plan;
    planner.plan(lighting, Everything(), plan);
    std::vector<GroundVertex> triangles;
    planner.appendPieces(plan, Everything(), triangles);
    double worst = 0;
    long checked = 0;
    for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
      const GroundVertex* v = &triangles[t];
      std::array<std::pair<int, int>, 3> g;
      for (int c = 0; c < 3; ++c) {
        g[c] = gridPoint(v[c]);
        // Every cell shows the picture as the cells do: s falls by 1 a column and
        // t rises by 1 a row from a point where t is even on an even row.
        ASSERT_EQ(v[c].s, std::floor(v[c].s)) << name;
        ASSERT_EQ(std::fmod(std::fabs(v[c].t), 2.0), g[c].second % 2) << name;
      }
      for (int c = 1; c < 3; ++c) {
        ASSERT_EQ(v[c].s - v[0].s, g[0].first - g[c].first) << name;
        ASSERT_EQ(v[c].t - v[0].t, g[c].second - g[0].second) << name;
      }
      // Interpolated over the triangle, the vertex lighting at every grid
      // point it holds stays within the planner's tolerance of the cells' own.
      const Rgb shades[3] = {lighting.shade(v[0].x, v[0].z), lighting.shade(v[1].x, v[1].z),
                             lighting.shade(v[2].x, v[2].z)};
      const int loI = std::min({g[0].first, g[1].first, g[2].first}), hiI = std::max({g[0].first, g[1].first, g[2].first});
      const int loK = std::min({g[0].second, g[1].second, g[2].second});
      const int hiK = std::max({g[0].second, g[1].second, g[2].second});
      const double det = (g[1].first - g[0].first) * (g[2].second - g[0].second) -
                         (g[2].first - g[0].first) * (g[1].second - g[0].second);
      if (det == 0) continue;
      const int stride = std::max(1, (hiI - loI) / 25);
      for (int i = loI; i <= hiI; i += stride) {
        for (int k = loK; k <= hiK; k += stride) {
          const double a = ((g[1].first - i) * (g[2].second - k) - (g[2].first - i) * (g[1].second - k)) / det;
          const double b = ((g[2].first - i) * (g[0].second - k) - (g[0].first - i) * (g[2].second - k)) / det;
          const double c = 1 - a - b;
          if (a < 0 || b < 0 || c < 0) continue;
          const std::vector<float>& edges = groundEdges();
          const Rgb cells = lighting.shade(edges[i], edges[k]);
          for (int ch = 0; ch < 3; ++ch) {
            const double fan = a * shades[0][ch] + b * shades[1][ch] + c * shades[2][ch];
            worst = std::max(worst, std::fabs(fan - cells[ch]));
          }
          ++checked;
        }
      }
    }
    EXPECT_GT(checked, 1000) << name;
    EXPECT_LE(worst, PIECE_LIGHT_TOLERANCE)
        << name << ": a piece's light is " << worst * 255 << " levels off its cells'";
  }
}

}  // namespace
