// Wavefront OBJ and MTL text for a generated mesh.
#include "datagen/obj_writer.h"

#include <cstdio>
#include <map>
#include <string>

namespace datagen {

namespace {

std::string number(double v, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  std::string text(buffer);
  // "-0.000" would read back as 0 anyway; write it without the sign.
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string triple(Vec3 v, int decimals) {
  return number(v.x, decimals) + " " + number(v.y, decimals) + " " + number(v.z, decimals);
}

// Assigns 1-based indices to distinct printed values in order of first use.
class IndexTable {
 public:
  int indexOf(const std::string& text) {
    auto [it, inserted] = index_.emplace(text, static_cast<int>(order_.size()) + 1);
    if (inserted) order_.push_back(text);
    return it->second;
  }
  const std::vector<std::string>& values() const { return order_; }

 private:
  std::map<std::string, int> index_;
  std::vector<std::string> order_;
};

bool hasTexture(FaceForm f) { return f == FaceForm::VERTEX_TEXTURE || f == FaceForm::VERTEX_TEXTURE_NORMAL; }
bool hasNormal(FaceForm f) { return f == FaceForm::VERTEX_NORMAL || f == FaceForm::VERTEX_TEXTURE_NORMAL; }

void appendComments(std::string& out, const std::vector<std::string>& comments) {
  for (const std::string& c : comments) out += "# " + c + "\n";
}

}  // namespace

std::string writeObj(const Mesh& mesh, const std::string& materialLibrary, const std::vector<std::string>& comments) {
  IndexTable uvs, normals;
  std::string faces;
  for (const MeshGroup& g : mesh.groups) {
    faces += "g " + g.name + "\n";
    faces += "usemtl " + g.material + "\n";
    for (const MeshFace& f : g.faces) {
      faces += "f";
      for (int vi : f.vertices) {
        const MeshVertex& v = mesh.vertices[vi];
        faces += " " + std::to_string(v.position + 1);
        if (hasTexture(g.form)) {
          Vec2 uv = v.uv;
          faces += "/" + std::to_string(uvs.indexOf(number(uv.x, 4) + " " + number(uv.y, 4)));
        } else if (hasNormal(g.form)) {
          faces += "/";
        }
        if (hasNormal(g.form)) faces += "/" + std::to_string(normals.indexOf(triple(v.normal, 4)));
      }
      faces += "\n";
    }
  }

  std::string out;
  appendComments(out, comments);
  out += "# " + std::to_string(mesh.positions.size()) + " vertices, " + std::to_string(mesh.triangleCount()) +
         " triangles, " + std::to_string(mesh.groups.size()) + " groups\n";
  out += "mtllib " + materialLibrary + "\n";
  for (const Vec3& p : mesh.positions) out += "v " + triple(p, 5) + "\n";
  for (const std::string& t : uvs.values()) out += "vt " + t + "\n";
  for (const std::string& n : normals.values()) out += "vn " + n + "\n";
  out += faces;
  return out;
}

std::string writeMtl(const Mesh& mesh, const std::vector<std::string>& comments) {
  std::string out;
  appendComments(out, comments);
  for (const MeshMaterial& m : mesh.materials) {
    out += "\nnewmtl " + m.name + "\n";
    out += "Ka " + triple(m.ambient, 4) + "\n";
    out += "Kd " + triple(m.diffuse, 4) + "\n";
    out += "Ks " + triple(m.specular, 4) + "\n";
    out += "Ns " + number(m.shininess, 1) + "\n";
    out += "d 1.0\n";
    out += "illum 2\n";
    if (!m.diffuseMap.empty()) out += "map_Kd " + m.diffuseMap + "\n";
  }
  return out;
}

}  // namespace datagen
