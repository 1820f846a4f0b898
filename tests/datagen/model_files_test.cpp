// The generated models: OBJ and MTL files in the subset the scene's reader takes, with
// the sizes, orientation and proportions that the scene's placement assumes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>

#include "tests/datagen/generated_data.h"
#include "tests/datagen/test_readers.h"

namespace {

using datagentest::generatedDir;
using datagentest::ObjFile;
using datagentest::Vec3d;

const std::string KART = "models/go-carts/GO-CART-BLUE.obj";
const std::string GRASS = "models/grass/trava.obj";

Vec3d sub(Vec3d a, Vec3d b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3d cross(Vec3d a, Vec3d b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(Vec3d a, Vec3d b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(Vec3d a) { return std::sqrt(dot(a, a)); }

struct Box {
  Vec3d min{1e9, 1e9, 1e9}, max{-1e9, -1e9, -1e9};
  void add(Vec3d p) {
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
  }
  Vec3d size() const { return sub(max, min); }
  Vec3d centre() const { return {(min.x + max.x) / 2, (min.y + max.y) / 2, (min.z + max.z) / 2}; }
};

const ObjFile& model(const std::string& path) {
  static std::map<std::string, ObjFile> cache;
  if (!cache.count(path)) cache[path] = datagentest::parseObj(datagentest::readText(generatedDir() + "/" + path));
  return cache.at(path);
}

Box boxOf(const ObjFile& obj) {
  Box box;
  for (const Vec3d& p : obj.positions) box.add(p);
  return box;
}

// Box of the corners of one group's faces.
Box groupBox(const ObjFile& obj, const std::string& group) {
  Box box;
  for (const auto& f : obj.faces) {
    if (f.group == group) {
      for (const auto& c : f.corners) box.add(obj.positions[c.v - 1]);
    }
  }
  return box;
}

// As the scene fits a model: centred on its box, largest extent scaled to 2.
Vec3d fitted(const ObjFile& obj, Vec3d p) {
  Box box = boxOf(obj);
  Vec3d size = box.size(), c = box.centre();
  double scale = 2 / std::max({size.x, size.y, size.z});
  return {(p.x - c.x) * scale, (p.y - c.y) * scale, (p.z - c.z) * scale};
}

size_t fanTriangles(const ObjFile& obj) {
  size_t n = 0;
  for (const auto& f : obj.faces) n += f.corners.size() - 2;
  return n;
}

class BothModels : public ::testing::TestWithParam<std::string> {};

TEST_P(BothModels, EveryLineIsInTheReadersSubset) {
  std::string text = datagentest::readText(generatedDir() + "/" + GetParam());
  EXPECT_EQ(text.find('\r'), std::string::npos) << "line ends must be plain \\n";
  EXPECT_TRUE(model(GetParam()).problems.empty()) << model(GetParam()).problems.front();
  // The reader skips a comment with a 128-byte buffer: a longer one would be read on
  // as statements.
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line[0] == '#') {
      EXPECT_LT(line.size(), 127u) << line;
    }
  }
}

TEST_P(BothModels, IndicesAreInRangeAndEveryVertexIsUsed) {
  const ObjFile& obj = model(GetParam());
  std::vector<bool> used(obj.positions.size(), false);
  for (const auto& f : obj.faces) {
    ASSERT_GE(f.corners.size(), 3u);
    for (const auto& c : f.corners) {
      ASSERT_GE(c.v, 1);
      ASSERT_LE(c.v, static_cast<int>(obj.positions.size()));
      used[c.v - 1] = true;
      ASSERT_LE(c.vt, static_cast<int>(obj.uvs.size()));
      ASSERT_LE(c.vn, static_cast<int>(obj.normals.size()));
      ASSERT_GE(c.vt, 0);
      ASSERT_GE(c.vn, 0);
    }
  }
  // A vertex no triangle uses makes the scene's normal pass print a warning.
  EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
}

TEST_P(BothModels, EachFaceKeepsOneCornerForm) {
  for (const auto& f : model(GetParam()).faces) {
    for (auto form : f.forms) ASSERT_EQ(form, f.forms[0]);
  }
}

TEST_P(BothModels, FanTrianglesAreNotDegenerateAndFaceOutwards) {
  // The scene splits polygons into fans and normalises each triangle's cross product:
  // a zero-area triangle would give it a non-finite normal. Where the file gives
  // normals, each fan triangle's winding must agree with them (outside is CCW).
  const ObjFile& obj = model(GetParam());
  double scale = std::max({boxOf(obj).size().x, boxOf(obj).size().y, boxOf(obj).size().z});
  int checkedWinding = 0;
  for (const auto& f : obj.faces) {
    Vec3d normalSum{};
    for (const auto& c : f.corners) {
      if (c.vn) {
        Vec3d n = obj.normals[c.vn - 1];
        normalSum = {normalSum.x + n.x, normalSum.y + n.y, normalSum.z + n.z};
      }
    }
    for (size_t i = 1; i + 1 < f.corners.size(); ++i) {
      Vec3d a = obj.positions[f.corners[0].v - 1], b = obj.positions[f.corners[i].v - 1],
            c = obj.positions[f.corners[i + 1].v - 1];
      Vec3d n = cross(sub(b, a), sub(c, a));
      ASSERT_GT(length(n), 1e-9 * scale * scale) << "degenerate triangle in group " << f.group;
      if (f.corners[0].vn) {
        EXPECT_GT(dot(n, normalSum), 0) << "triangle against its normals in group " << f.group;
        ++checkedWinding;
      }
    }
  }
  EXPECT_GT(checkedWinding, 0);
}

TEST_P(BothModels, EveryGroupHasAMaterialThatTheLibraryDefines) {
  const ObjFile& obj = model(GetParam());
  ASSERT_EQ(obj.materialLibraries.size(), 1u);
  std::string folder = std::filesystem::path(GetParam()).parent_path().string();
  std::vector<std::string> problems;
  auto materials = datagentest::parseMtl(
      datagentest::readText(generatedDir() + "/" + folder + "/" + obj.materialLibraries[0]), problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  for (const std::string& g : obj.groupOrder) {
    EXPECT_EQ(g.find(' '), std::string::npos) << "group name with a space: " << g;
    const std::string& m = obj.groupMaterial.at(g);
    EXPECT_FALSE(m.empty()) << "group " << g << " has no usemtl";
    EXPECT_TRUE(materials.count(m)) << "material " << m << " of group " << g << " is not defined";
  }
  for (const auto& f : model(GetParam()).faces) ASSERT_NE(f.group, "default") << "face outside any group";
  for (const auto& [name, m] : materials) {
    EXPECT_EQ(name.find(' '), std::string::npos);
    for (int c = 0; c < 3; ++c) {
      // Under the scene's white global ambient of 1, Ka shows in full: it stays
      // below the diffuse colour so that lit sides still read brighter.
      EXPECT_GE(m.ka[c], 0.0) << name;
      EXPECT_LE(m.ka[c], m.kd[c]) << name;
      EXPECT_GE(m.ks[c], 0.0) << name;
    }
    EXPECT_GE(m.ns, 0.0) << name;
    EXPECT_LE(m.ns, 1000.0) << name;
    EXPECT_DOUBLE_EQ(m.d, 1.0) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Models, BothModels, ::testing::Values(KART, GRASS),
                         [](const auto& info) { return info.param == KART ? std::string("Kart") : std::string("Grass"); });

TEST(KartModel, HasEnoughTrianglesInSeveralGroupsAndAllFourFaceForms) {
  const ObjFile& obj = model(KART);
  EXPECT_GE(fanTriangles(obj), 3000u);
  EXPECT_GE(obj.groupOrder.size(), 5u);
  std::set<std::string> materials;
  for (const std::string& g : obj.groupOrder) materials.insert(obj.groupMaterial.at(g));
  EXPECT_EQ(materials.size(), obj.groupOrder.size()) << "each group has a material of its own";
  std::set<datagentest::CornerForm> forms;
  std::set<size_t> sizes;
  for (const auto& f : obj.faces) {
    forms.insert(f.forms[0]);
    sizes.insert(std::min<size_t>(f.corners.size(), 5));
  }
  EXPECT_EQ(forms.size(), 4u) << "f v, f v/vt, f v//vn and f v/vt/vn should all appear";
  EXPECT_TRUE(sizes.count(3) && sizes.count(4) && sizes.count(5)) << "triangles, quads and larger polygons";
}

TEST(KartModel, IsLongestAlongXAndAThirdAsHighAsLong) {
  Box box = boxOf(model(KART));
  Vec3d size = box.size();
  EXPECT_GT(size.x, size.z);
  EXPECT_GT(size.x, size.y);
  // Fitted, the centre goes to kart-space height 0.33: the wheels touch the ground
  // when the height is 0.33 of the length.
  EXPECT_NEAR(size.y / size.x, 0.33, 0.002);
  EXPECT_NEAR(fitted(model(KART), box.min).y, -0.33, 0.004);
}

TEST(KartModel, FrontFacesMinusXWithTheLampsWhereTheSceneLightsThem) {
  const ObjFile& obj = model(KART);
  Box all = boxOf(obj);
  // The front bumper is the front-most part.
  Box bumper = groupBox(obj, "front_bumper");
  EXPECT_NEAR(bumper.min.x, all.min.x, 1e-4 * all.size().x);
  EXPECT_LT(fitted(obj, bumper.centre()).x, -0.8);
  // The scene puts the lamps' lights at (-1.1, -0.05, +-0.25) after fitting: the lamp
  // lenses sit just behind those points, one on each side.
  Box lenses = groupBox(obj, "lamp_lenses");
  Vec3d lo = fitted(obj, lenses.min), hi = fitted(obj, lenses.max);
  EXPECT_GT(lo.x, -1.1);
  EXPECT_LT(hi.x, -0.85);
  EXPECT_NEAR((lo.y + hi.y) / 2, -0.05, 0.03);
  EXPECT_NEAR(lo.z, -0.25 - (hi.z - lo.z - 0.5) / 2, 0.03);
  EXPECT_NEAR(hi.z, 0.25 + (hi.z - lo.z - 0.5) / 2, 0.03);
  // The seat is behind the middle, the steering wheel ahead of it, the wheels lowest.
  double seat = groupBox(obj, "seat").centre().x, wheel = groupBox(obj, "steering_wheel").centre().x;
  EXPECT_GT(seat, all.centre().x);
  EXPECT_LT(wheel, seat);
  EXPECT_NEAR(groupBox(obj, "tyres").min.y, all.min.y, 1e-6);
}

TEST(KartModel, BodyworkIsBlueAndTexturesIncludeTgaAndBmp) {
  const ObjFile& obj = model(KART);
  std::vector<std::string> problems;
  auto materials = datagentest::parseMtl(
      datagentest::readText(generatedDir() + "/models/go-carts/" + obj.materialLibraries[0]), problems);
  const auto& nose = materials.at(obj.groupMaterial.at("nose_cone"));
  EXPECT_GT(nose.kd[2], 2 * nose.kd[0]);
  EXPECT_GT(nose.kd[2], 2 * nose.kd[1]);
  std::set<std::string> extensions;
  for (const auto& [name, m] : materials) {
    if (!m.mapKd.empty()) extensions.insert(std::filesystem::path(m.mapKd).extension().string());
  }
  EXPECT_TRUE(extensions.count(".tga"));
  EXPECT_TRUE(extensions.count(".bmp"));
}

TEST(GrassModel, IsAWideLowTuftOfBladesInGreens) {
  const ObjFile& obj = model(GRASS);
  EXPECT_GE(fanTriangles(obj), 600u);
  EXPECT_GE(obj.groupOrder.size(), 2u);
  EXPECT_LE(obj.groupOrder.size(), 3u);
  Box box = boxOf(obj);
  double width = std::max(box.size().x, box.size().z);
  EXPECT_GT(width, box.size().y);
  EXPECT_NEAR(box.size().y / width, 0.4, 0.08);
  std::vector<std::string> problems;
  auto materials = datagentest::parseMtl(
      datagentest::readText(generatedDir() + "/models/grass/" + obj.materialLibraries[0]), problems);
  std::set<std::string> used;
  for (const std::string& g : obj.groupOrder) used.insert(obj.groupMaterial.at(g));
  EXPECT_EQ(used.size(), obj.groupOrder.size()) << "one green per group";
  for (const std::string& m : used) {
    EXPECT_GT(materials.at(m).kd[1], materials.at(m).kd[0]) << m;
    EXPECT_GT(materials.at(m).kd[1], materials.at(m).kd[2]) << m;
  }
}

}  // namespace
