// The generated models in memory: positions, per-corner normals and texture
// coordinates, polygons in named groups with one material each, and the materials.
#pragma once

#include <string>
#include <vector>

#include "datagen/vec.h"

namespace datagen {

// How a group's faces are written: "f v", "f v/vt", "f v//vn" or "f v/vt/vn".
enum class FaceForm { VERTEX, VERTEX_TEXTURE, VERTEX_NORMAL, VERTEX_TEXTURE_NORMAL };

struct MeshMaterial {
  std::string name;
  Vec3 ambient;
  Vec3 diffuse;
  Vec3 specular;
  double shininess = 0;  // MTL scale, 0 to 1000
  std::string diffuseMap;  // texture file beside the MTL file, or empty
};

// One corner record: a shared position plus this corner's own normal and texture
// coordinate. Polygons that share a position are smoothed together by the scene's
// vertex-normal pass, so hard edges use separate positions.
struct MeshVertex {
  int position = 0;
  Vec3 normal;
  Vec2 uv;
};

struct MeshFace {
  std::vector<int> vertices;  // indices into Mesh::vertices, counter-clockwise seen from outside
};

struct MeshGroup {
  std::string name;
  std::string material;
  FaceForm form = FaceForm::VERTEX;
  std::vector<MeshFace> faces;
};

struct Mesh {
  std::vector<Vec3> positions;
  std::vector<MeshVertex> vertices;
  std::vector<MeshGroup> groups;
  std::vector<MeshMaterial> materials;

  // Triangles after splitting every polygon into a fan.
  size_t triangleCount() const;
  const MeshMaterial* findMaterial(const std::string& name) const;
};

struct Bounds {
  Vec3 min;
  Vec3 max;
  Vec3 size() const { return max - min; }
  Vec3 centre() const { return (min + max) * 0.5; }
};
Bounds meshBounds(const Mesh& mesh);

// Adds geometry to a mesh, group by group, and checks every polygon it is given.
class MeshBuilder {
 public:
  explicit MeshBuilder(Mesh& mesh) : mesh_(mesh) {}

  // Later polygons go to this group (created on first use; names are unique).
  void beginGroup(const std::string& name, const std::string& material, FaceForm form);

  int point(Vec3 position);
  int vertex(int position, Vec3 normal, Vec2 uv = {});
  int vertex(Vec3 position, Vec3 normal, Vec2 uv = {}) { return vertex(point(position), normal, uv); }

  // Adds a convex polygon. The corners may come in either turning order: they are put
  // counter-clockwise about the mean of their normals, so the normals decide which side
  // is outside. Throws std::logic_error for a polygon whose fan has a degenerate or
  // backward-facing triangle.
  void polygon(std::vector<int> corners);

  Mesh& mesh() { return mesh_; }

 private:
  Mesh& mesh_;
  MeshGroup* group_ = nullptr;
};

}  // namespace datagen
