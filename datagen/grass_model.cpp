// The grass tuft model.
#include "datagen/grass_model.h"

#include <cmath>

#include "datagen/random.h"
#include "datagen/vec.h"

namespace datagen {

namespace {

// A tuft is a few dozen pixels across in the scene: fewer, slightly wider blades of
// three segments read the same there and cost a third of the triangles.
constexpr int BLADE_COUNT = 210;
constexpr int BLADE_SEGMENTS = 3;

struct Shade {
  const char* group;
  const char* material;
  FaceForm form;
};

const Shade SHADES[] = {{"blades_dark", "grass_dark", FaceForm::VERTEX_NORMAL},
                        {"blades_mid", "grass_mid", FaceForm::VERTEX},
                        {"blades_dry", "grass_dry", FaceForm::VERTEX_TEXTURE_NORMAL}};

// One blade: a ribbon along a quadratic curve from the root up and out, narrowing to a
// point. Its corners share positions along the blade, so it is shaded as one curve.
void addBlade(MeshBuilder& b, Vec3 root, double heading, double height, double lean, double width, double twist) {
  Vec3 out{std::cos(heading), 0, std::sin(heading)};
  Vec3 side{-out.z, 0, out.x};
  Vec3 control = root + Vec3{0, height * 0.75, 0} + out * (lean * 0.25);
  Vec3 tip = root + Vec3{0, height, 0} + out * lean;
  std::vector<int> left, right;
  std::vector<Vec3> normals;
  int tipId = -1;
  for (int i = 0; i <= BLADE_SEGMENTS; ++i) {
    double t = double(i) / BLADE_SEGMENTS;
    Vec3 p = root * ((1 - t) * (1 - t)) + control * (2 * t * (1 - t)) + tip * (t * t);
    Vec3 tangent = normalize((control - root) * (2 * (1 - t)) + (tip - control) * (2 * t));
    Vec3 across = rotateAbout(side, tangent, twist * t);
    // Face the ribbon upwards, towards the sun.
    Vec3 normal = normalize(cross(across, tangent));
    if (normal.y < 0) normal = -normal;
    double w = width * (1 - t) * (0.6 + 0.4 * (1 - t));
    if (i == BLADE_SEGMENTS) {
      tipId = b.point(p);
      normals.push_back(normal);
    } else {
      left.push_back(b.point(p - across * (w / 2)));
      right.push_back(b.point(p + across * (w / 2)));
      normals.push_back(normal);
    }
  }
  for (int i = 0; i + 1 < BLADE_SEGMENTS; ++i) {
    double v0 = double(i) / BLADE_SEGMENTS, v1 = double(i + 1) / BLADE_SEGMENTS;
    b.polygon({b.vertex(left[i], normals[i], {0, v0}), b.vertex(right[i], normals[i], {1, v0}),
               b.vertex(right[i + 1], normals[i + 1], {1, v1}), b.vertex(left[i + 1], normals[i + 1], {0, v1})});
  }
  int last = BLADE_SEGMENTS - 1;
  double vLast = double(last) / BLADE_SEGMENTS;
  b.polygon({b.vertex(left[last], normals[last], {0, vLast}), b.vertex(right[last], normals[last], {1, vLast}),
             b.vertex(tipId, normals[BLADE_SEGMENTS], {0.5, 1})});
}

}  // namespace

Mesh makeGrassMesh() {
  Mesh mesh;
  mesh.materials = {
      {"grass_dark", {0.07, 0.17, 0.05}, {0.15, 0.38, 0.10}, {0.05, 0.06, 0.04}, 40, ""},
      {"grass_mid", {0.10, 0.24, 0.06}, {0.24, 0.52, 0.13}, {0.06, 0.07, 0.04}, 40, ""},
      {"grass_dry", {0.17, 0.24, 0.07}, {0.42, 0.54, 0.17}, {0.07, 0.07, 0.05}, 40, ""},
  };
  MeshBuilder b(mesh);
  Pcg32 rng(0x67a55u);
  // Blades go to the groups in turn: each group is one material.
  for (int g = 0; g < 3; ++g) {
    b.beginGroup(SHADES[g].group, SHADES[g].material, SHADES[g].form);
    for (int i = g; i < BLADE_COUNT; i += 3) {
      double rootAngle = rng.uniform(0, 2 * PI);
      double rootRadius = 0.13 * std::sqrt(rng.uniform());
      Vec3 root{rootRadius * std::cos(rootAngle), 0, rootRadius * std::sin(rootAngle)};
      // Blades near the edge lean further out; the middle stands up.
      double heading = rootAngle + rng.uniform(-0.5, 0.5);
      double outer = rootRadius / 0.13;
      double height = rng.uniform(0.2, 0.4) * (1.0 - 0.25 * outer);
      double lean = rng.uniform(0.06, 0.22) + 0.18 * outer;
      double width = rng.uniform(0.018, 0.030);
      addBlade(b, root, heading, height, lean, width, rng.uniform(-0.8, 0.8));
    }
  }
  return mesh;
}

}  // namespace datagen
