// Field-by-field comparison of two models; floats by their bits, so that a NaN
// equals the same NaN and 0.0 differs from -0.0.
#include "tests/reference/model_compare.h"

#include <cstring>
#include <sstream>
#include <vector>

namespace {

bool sameBits(const float* a, const float* b, size_t count) {
  return count == 0 || std::memcmp(a, b, count * sizeof(float)) == 0;
}

std::string floatsDifference(const char* what, const std::vector<float>& a, const std::vector<float>& b) {
  std::ostringstream out;
  if (a.size() != b.size()) {
    out << what << ": " << a.size() << " values against " << b.size();
    return out.str();
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (!sameBits(&a[i], &b[i], 1)) {
      out << what << "[" << i << "]: " << a[i] << " against " << b[i];
      return out.str();
    }
  }
  return std::string();
}

template <typename T>
bool sameArray(const T (&a)[3], const T (&b)[3]) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

}  // namespace

std::string glmModelDifference(const ObjModel& a, const ObjModel& b) {
  std::ostringstream out;
  if (a.path != b.path) return "path";
  if (a.mtllibfile != b.mtllibfile) return "mtllibfile \"" + a.mtllibfile + "\" against \"" + b.mtllibfile + "\"";
  const unsigned countsA[] = {a.nvertices, a.nnormals, a.nuvs, a.nfacetnorms, a.ntris, a.nmtls, a.ngroups, a.ntex};
  const unsigned countsB[] = {b.nvertices, b.nnormals, b.nuvs, b.nfacetnorms, b.ntris, b.nmtls, b.ngroups, b.ntex};
  const char* countNames[] = {"nvertices", "nnormals", "nuvs", "nfacetnorms", "ntris", "nmtls", "ngroups", "ntex"};
  for (int i = 0; i < 8; ++i) {
    if (countsA[i] != countsB[i]) {
      out << countNames[i] << " " << countsA[i] << " against " << countsB[i];
      return out.str();
    }
  }
  std::string difference = floatsDifference("vertices", a.vertices, b.vertices);
  if (difference.empty()) difference = floatsDifference("normals", a.normals, b.normals);
  if (difference.empty()) difference = floatsDifference("uvs", a.uvs, b.uvs);
  if (difference.empty()) difference = floatsDifference("facetnorms", a.facetnorms, b.facetnorms);
  if (!difference.empty()) return difference;

  if (a.tris.size() != b.tris.size()) return "tris size";
  for (size_t t = 0; t < a.tris.size(); ++t) {
    const ObjTriangle& x = a.tris[t];
    const ObjTriangle& y = b.tris[t];
    if (!sameArray(x.vertex, y.vertex) || !sameArray(x.normal, y.normal) || !sameArray(x.uv, y.uv) ||
        x.facet != y.facet) {
      out << "triangle " << t << ": vertices " << x.vertex[0] << " " << x.vertex[1] << " " << x.vertex[2]
          << " against " << y.vertex[0] << " " << y.vertex[1] << " " << y.vertex[2] << " (or its normals, uvs, facet)";
      return out.str();
    }
  }

  if (a.mtls.size() != b.mtls.size()) return "mtls size";
  for (size_t m = 0; m < a.mtls.size(); ++m) {
    const ObjMaterial& x = a.mtls[m];
    const ObjMaterial& y = b.mtls[m];
    if (x.name != y.name || !sameBits(x.diffuse, y.diffuse, 4) || !sameBits(x.ambient, y.ambient, 4) ||
        !sameBits(x.specular, y.specular, 4) || !sameBits(&x.shininess, &y.shininess, 1) || x.texture != y.texture ||
        x.mapfile != y.mapfile) {
      out << "material " << m << " (\"" << x.name << "\" against \"" << y.name << "\")";
      return out.str();
    }
  }

  const ObjGroup* x = a.grouplist;
  const ObjGroup* y = b.grouplist;
  for (unsigned g = 0; x != nullptr || y != nullptr; ++g, x = x->next, y = y->next) {
    if (x == nullptr || y == nullptr) return "group list length";
    if (x->name != y->name || x->ntris != y->ntris || x->tris != y->tris || x->material != y->material) {
      out << "group " << g << " (\"" << x->name << "\" against \"" << y->name << "\")";
      return out.str();
    }
  }

  if (a.tex.size() != b.tex.size()) return "tex size";
  for (size_t t = 0; t < a.tex.size(); ++t) {
    const ObjTexture& p = a.tex[t];
    const ObjTexture& q = b.tex[t];
    if (p.name != q.name || p.id != q.id || !sameBits(&p.width, &q.width, 1) || !sameBits(&p.height, &q.height, 1)) {
      out << "texture " << t << " (\"" << p.name << "\" against \"" << q.name << "\")";
      return out.str();
    }
  }
  return std::string();
}
