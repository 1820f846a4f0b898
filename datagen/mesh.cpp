// The generated models in memory and the checked builder that fills them.
#include "datagen/mesh.h"

#include <algorithm>
#include <stdexcept>

namespace datagen {

size_t Mesh::triangleCount() const {
  size_t count = 0;
  for (const MeshGroup& g : groups) {
    for (const MeshFace& f : g.faces) count += f.vertices.size() - 2;
  }
  return count;
}

const MeshMaterial* Mesh::findMaterial(const std::string& name) const {
  for (const MeshMaterial& m : materials) {
    if (m.name == name) return &m;
  }
  return nullptr;
}

Bounds meshBounds(const Mesh& mesh) {
  Bounds b{mesh.positions.front(), mesh.positions.front()};
  for (const Vec3& p : mesh.positions) {
    b.min = {std::min(b.min.x, p.x), std::min(b.min.y, p.y), std::min(b.min.z, p.z)};
    b.max = {std::max(b.max.x, p.x), std::max(b.max.y, p.y), std::max(b.max.z, p.z)};
  }
  return b;
}

void MeshBuilder::beginGroup(const std::string& name, const std::string& material, FaceForm form) {
  for (MeshGroup& g : mesh_.groups) {
    if (g.name == name) {
      group_ = &g;
      return;
    }
  }
  mesh_.groups.push_back(MeshGroup{name, material, form, {}});
  group_ = &mesh_.groups.back();
}

int MeshBuilder::point(Vec3 position) {
  mesh_.positions.push_back(position);
  return static_cast<int>(mesh_.positions.size()) - 1;
}

int MeshBuilder::vertex(int position, Vec3 normal, Vec2 uv) {
  mesh_.vertices.push_back(MeshVertex{position, normalize(normal), uv});
  return static_cast<int>(mesh_.vertices.size()) - 1;
}

void MeshBuilder::polygon(std::vector<int> corners) {
  if (group_ == nullptr) throw std::logic_error("polygon before the first group");
  if (corners.size() < 3) throw std::logic_error("polygon with fewer than three corners");
  auto pos = [&](int v) { return mesh_.positions[mesh_.vertices[v].position]; };

  Vec3 meanNormal{}, newell{};
  for (size_t i = 0; i < corners.size(); ++i) {
    meanNormal += mesh_.vertices[corners[i]].normal;
    newell += cross(pos(corners[i]), pos(corners[(i + 1) % corners.size()]));
  }
  if (dot(newell, meanNormal) < 0) std::reverse(corners.begin(), corners.end());

  // The reader splits polygons into a fan from the first corner: check each triangle
  // of that fan, since a sliver would give the scene a non-finite facet normal.
  for (size_t i = 1; i + 1 < corners.size(); ++i) {
    Vec3 a = pos(corners[0]), b = pos(corners[i]), c = pos(corners[i + 1]);
    Vec3 n = cross(b - a, c - a);
    double area = 0.5 * length(n);
    double longest = std::max({length(b - a), length(c - b), length(a - c)});
    if (area < 1e-9 || area < 1e-3 * longest * longest) {
      throw std::logic_error("degenerate triangle in group " + group_->name);
    }
    if (dot(n, meanNormal) <= 0) throw std::logic_error("triangle facing inwards in group " + group_->name);
  }
  group_->faces.push_back(MeshFace{std::move(corners)});
}

}  // namespace datagen
