// Wavefront OBJ and MTL text for a generated mesh, in the subset the scene's model
// reader takes: "v", "vt", "vn", "g", "usemtl", "f" in four corner forms, "mtllib";
// "newmtl", "Ka", "Kd", "Ks", "Ns", "d", "illum", "map_Kd". Lines end with '\n'.
#pragma once

#include <string>
#include <vector>

#include "datagen/mesh.h"

namespace datagen {

// OBJ text. Positions are written as stored; texture coordinates and normals only as
// far as some face's form uses them, each distinct value once.
std::string writeObj(const Mesh& mesh, const std::string& materialLibrary, const std::vector<std::string>& comments);

std::string writeMtl(const Mesh& mesh, const std::vector<std::string>& comments);

}  // namespace datagen
