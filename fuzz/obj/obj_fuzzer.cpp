// Fuzz target for OBJ and MTL reading. One input is an OBJ text and an MTL text
// joined by a line "%%%"; both are written as files (m.obj, m.mtl) into a
// temporary folder of this process and read through the checked reader. map_Kd
// requests are recorded instead of creating textures (a path with "FAIL" in it
// is refused, to reach that path too). A model that reads is prepared as the
// scene prepares it and every index and normal is checked.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/support/scratch_files.h"
#include "glm/glm.h"

namespace {

const char SEPARATOR[] = "\n%%%\n";

unsigned textureRequests = 0;

MaterialTextureResult recordLoad(const char* path, bool, bool, bool) {
  ++textureRequests;
  MaterialTextureResult result;
  if (std::strstr(path, "FAIL") != nullptr) {
    result.error = std::string("Error reading texture: ") + path + " \n";
    return result;
  }
  result.ok = true;
  result.id = textureRequests;
  result.width = 1;
  result.height = 1;
  return result;
}

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

bool finite3(const float* v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

void checkRead(const ObjModel& model) {
  require(model.vertices.size() == 3 * (static_cast<size_t>(model.nvertices) + 1), "vertices size");
  require(model.nnormals == 0 || model.normals.size() == 3 * (static_cast<size_t>(model.nnormals) + 1), "normals");
  require(model.nuvs == 0 || model.uvs.size() == 2 * (static_cast<size_t>(model.nuvs) + 1), "uvs size");
  require(model.tris.size() == model.ntris, "tris size");
  require(model.mtls.size() == model.nmtls, "mtls size");
  require(model.tex.size() == model.ntex, "tex size");
  std::vector<unsigned char> owned(model.ntris, 0);
  unsigned groups = 0, sum = 0;
  for (const ObjGroup* group = model.grouplist; group != nullptr; group = group->next) {
    ++groups;
    sum += group->ntris;
    require(group->tris.size() == group->ntris, "group tris size");
    for (unsigned t : group->tris) {
      require(t < model.ntris, "group triangle index");
      require(owned[t]++ == 0, "triangle in two groups");
    }
    require(model.nmtls == 0 || group->material < model.nmtls, "group material");
  }
  require(groups == model.ngroups, "ngroups");
  require(sum == model.ntris, "group triangle sum");
  for (const ObjTriangle& tri : model.tris) {
    for (int c = 0; c < 3; ++c) {
      require(tri.vertex[c] >= 1 && tri.vertex[c] <= model.nvertices, "vertex index");
      require(tri.normal[c] <= model.nnormals, "normal index");
      require(tri.uv[c] <= model.nuvs, "uv index");
    }
  }
  for (const ObjMaterial& material : model.mtls) {
    require(material.texture >= -1 && material.texture < static_cast<int>(model.ntex), "material texture");
  }
}

void checkPrepared(const ObjModel& model) {
  require(model.nfacetnorms == model.ntris, "nfacetnorms");
  for (unsigned n = 1; n <= model.nfacetnorms; ++n) require(finite3(&model.facetnorms[3 * n]), "facet normal finite");
  require(model.nnormals <= 3 * model.ntris, "normal count bound");
  require(model.normals.size() == 3 * (static_cast<size_t>(model.nnormals) + 1), "normals size after");
  for (unsigned n = 1; n <= model.nnormals; ++n) require(finite3(&model.normals[3 * n]), "vertex normal finite");
  for (unsigned t = 0; t < model.ntris; ++t) {
    require(model.tris[t].facet == t + 1, "facet index");
    for (int c = 0; c < 3; ++c) {
      require(model.tris[t].normal[c] >= 1 && model.tris[t].normal[c] <= model.nnormals, "normal index after");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  std::string input(text, size);
  size_t split = input.find(SEPARATOR);
  std::string obj = split == std::string::npos ? input : input.substr(0, split + 1);
  std::string mtl = split == std::string::npos ? std::string() : input.substr(split + sizeof(SEPARATOR) - 1);

  const std::string folder = fuzzsupport::scratchDir();
  const std::string objPath = folder + "/m.obj";
  fuzzsupport::writeFile(objPath, obj.data(), obj.size());
  fuzzsupport::writeFile(folder + "/m.mtl", mtl.data(), mtl.size());

  glmSetTextureHook(recordLoad);
  std::unique_ptr<ObjModel> model;
  ObjReadNotes notes;
  ReadStatus status = glmReadOBJChecked(objPath.c_str(), &model, &notes);
  if (!status.ok()) {
    require(!model, "no model on failure");
    require(!status.message.empty() && status.message.back() == '\n', "one-line message");
    require(status.reason.empty() || (status.reason.back() == '\n' && status.reason.find('\n') == status.reason.size() - 1),
            "one-line reason");
    return 0;
  }
  for (const std::string& warning : notes.warnings) require(warning.find('\n') == warning.size() - 1, "one-line warning");
  require(model != nullptr, "model on success");
  checkRead(*model);
  std::vector<const char*> warnings;
  glmReduceDrawMode(model.get(), DRAW_SMOOTH | DRAW_MATERIAL, &warnings);

  float scale = 0;
  ReadStatus fit = glmFitToUnitCubeChecked(model.get(), &scale);
  if (!fit.ok()) {
    require(model->nvertices == 0, "fit refuses only empty models");
    return 0;
  }
  require(std::isfinite(scale) && scale > 0, "finite fit factor");
  glmScaleVertices(model.get(), 2.0f);
  glmComputeFacetNormals(model.get());
  glmVertexNormalsCounted(model.get(), 90.0f, false);
  checkPrepared(*model);
  glmVertexNormalsCounted(model.get(), 0.0f, false);
  checkPrepared(*model);
  return 0;
}
