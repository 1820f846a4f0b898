// Helpers for the model library's tests.
#include "tests/glm/glm_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/test_paths.h"

namespace glmtest {

namespace {

std::vector<std::string> recorded;
unsigned nextId = 101;
bool failing = false;

MaterialTextureResult recordLoad(const char* path, bool repeat, bool linear, bool mipmap) {
  recorded.push_back(path);
  MaterialTextureResult result;
  if (failing || !repeat || !linear || !mipmap) {
    result.error = std::string("Error reading texture: ") + path + " \n";
    return result;
  }
  result.ok = true;
  result.id = nextId++;
  result.width = 64;
  result.height = 32;
  return result;
}

}  // namespace

TempFolder::TempFolder() : dir_(supporttest::makeTempDir("glm")) {}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string TempFolder::write(const std::string& name, const std::string& text) const {
  std::string file = path(name);
  std::ofstream out(file, std::ios::binary);
  out << text;
  return file;
}

TextureRecorder::TextureRecorder(bool fail) {
  recorded.clear();
  nextId = 101;
  failing = fail;
  previous_ = glmSetTextureHook(recordLoad);
}

TextureRecorder::~TextureRecorder() { glmSetTextureHook(previous_); }

const std::vector<std::string>& TextureRecorder::requests() { return recorded; }

void TextureRecorder::setNextId(unsigned id) { nextId = id; }

std::unique_ptr<ObjModel> readModel(const std::string& path) {
  std::unique_ptr<ObjModel> model;
  ReadStatus status = glmReadOBJChecked(path.c_str(), &model);
  EXPECT_TRUE(status.ok()) << status.message;
  return model;
}

std::vector<std::string> groupNames(const ObjModel& model) {
  std::vector<std::string> names;
  for (const ObjGroup* group = model.grouplist; group != nullptr; group = group->next) names.push_back(group->name);
  return names;
}

std::string invariantViolations(const ObjModel& model) {
  std::ostringstream out;
  if (model.vertices.size() != 3 * (static_cast<size_t>(model.nvertices) + 1)) out << "vertices size; ";
  if (model.nnormals != 0 && model.normals.size() != 3 * (static_cast<size_t>(model.nnormals) + 1)) {
    out << "normals size; ";
  }
  if (model.nuvs != 0 && model.uvs.size() != 2 * (static_cast<size_t>(model.nuvs) + 1)) out << "uvs size; ";
  if (model.tris.size() != model.ntris) out << "tris size; ";
  if (model.mtls.size() != model.nmtls) out << "mtls size; ";
  if (model.tex.size() != model.ntex) out << "tex size; ";
  std::vector<int> owner(model.ntris, 0);
  unsigned sum = 0, groups = 0;
  for (const ObjGroup* group = model.grouplist; group != nullptr; group = group->next) {
    ++groups;
    sum += group->ntris;
    if (group->tris.size() != group->ntris) out << "group tris size; ";
    for (unsigned i = 0; i < group->ntris && i < group->tris.size(); ++i) {
      if (group->tris[i] >= model.ntris) {
        out << "group triangle index " << group->tris[i] << " out of range; ";
      } else {
        ++owner[group->tris[i]];
      }
    }
    if (model.nmtls != 0 && group->material >= model.nmtls) out << "group material out of range; ";
  }
  if (groups != model.ngroups) out << "ngroups " << model.ngroups << " but " << groups << " linked; ";
  if (sum != model.ntris) out << "group triangles sum " << sum << " != ntris " << model.ntris << "; ";
  for (unsigned t = 0; t < model.ntris; ++t) {
    if (owner[t] != 1) out << "triangle " << t << " in " << owner[t] << " groups; ";
    for (int c = 0; c < 3; ++c) {
      const ObjTriangle& tri = model.tris[t];
      if (tri.vertex[c] < 1 || tri.vertex[c] > model.nvertices) out << "vertex index " << tri.vertex[c] << "; ";
      if (tri.normal[c] > model.nnormals) out << "normal index " << tri.normal[c] << "; ";
      if (tri.uv[c] > model.nuvs) out << "uv index " << tri.uv[c] << "; ";
    }
  }
  for (const ObjMaterial& material : model.mtls) {
    if (material.texture < -1 || material.texture >= static_cast<int>(model.ntex)) out << "material texture; ";
  }
  return out.str();
}

}  // namespace glmtest
