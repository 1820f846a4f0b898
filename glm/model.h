// The in-memory model: the records a read OBJ file becomes, and the lookups the
// readers and the drawing code share (groups, materials, the directory of a path).
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

// One triangle. Indices are 1-based into the model's arrays; index kinds that a
// face did not carry stay 0, which names the unused entry 0 of an allocated array.
struct ObjTriangle {
  unsigned vertex[3] = {0, 0, 0};
  unsigned normal[3] = {0, 0, 0};
  unsigned uv[3] = {0, 0, 0};
  unsigned facet = 0;
};

struct ObjMaterial {
  std::string name;      // empty for a material that has none
  float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  float shininess = 65.0f;  // on OpenGL's 0-128 scale
  int texture = -1;         // index into ObjModel::tex, or -1
  std::string mapfile;      // rest of the map_Kd line; empty for none
};

// A material texture, shared by every material whose map_Kd names it.
struct ObjTexture {
  std::string name;  // map name without leading blanks, line end still attached: the lookup key
  GLuint id = 0;
  float width = 0;
  float height = 0;
};

// The first index of every material name in the table it was built for; a
// lookup rebuilds it when the model's table is another one (or resized).
struct ObjMaterialIndex {
  const ObjMaterial* table = nullptr;
  size_t size = 0;
  std::unordered_map<std::string, unsigned> first;
};

// A material library read for a model. While the model is read every library
// it names is kept, so that naming one again swaps its table back in instead
// of reading the file again; the table in force lives in the model itself.
struct ObjMaterialLibrary {
  std::string name;  // as the first mtllib that named it wrote it
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::vector<ObjMaterial> mtls;  // empty while the table is the model's
  ObjMaterialIndex index;
};

struct ObjGroup {
  std::string name;
  unsigned ntris = 0;
  std::vector<unsigned> tris;  // 0-based indices into ObjModel::tris, in file order
  unsigned material = 0;
  ObjGroup* next = nullptr;
};

// Arrays hold their count + 1 entries (entry 0 unused) and are empty for "none".
// The model owns everything; glmDelete releases it.
struct ObjModel {
  std::string path;
  std::string mtllibfile;  // empty when the file names no material library

  unsigned nvertices = 0;
  std::vector<float> vertices;  // (nvertices + 1) * 3
  unsigned nnormals = 0;
  std::vector<float> normals;  // (nnormals + 1) * 3, or empty
  unsigned nuvs = 0;
  std::vector<float> uvs;  // (nuvs + 1) * 2, or empty
  unsigned nfacetnorms = 0;
  std::vector<float> facetnorms;  // (nfacetnorms + 1) * 3, or empty
  unsigned ntris = 0;
  std::vector<ObjTriangle> tris;  // ntris, 0-based
  unsigned nmtls = 0;
  std::vector<ObjMaterial> mtls;  // nmtls, material 0 is "default"
  unsigned ngroups = 0;
  ObjGroup* grouplist = nullptr;  // newest group first, "default" last
  unsigned ntex = 0;
  std::vector<ObjTexture> tex;

  // Owner of the groups that grouplist links, and a name index over them.
  std::deque<ObjGroup> groupStorage;
  std::unordered_map<std::string, ObjGroup*> groupIndex;

  // Name indexes of the material and texture tables, so that a usemtl or a
  // shared map costs the same however long the tables are.
  ObjMaterialIndex materialIndex;
  std::unordered_map<std::string, unsigned> textureIndex;

  // The libraries read while the model is read; `currentLibrary` is the one
  // whose table is `mtls` (-1 for none). Released when the read ends.
  std::vector<ObjMaterialLibrary> libraries;
  int currentLibrary = -1;

  ObjModel() = default;
  ObjModel(const ObjModel&) = delete;
  ObjModel& operator=(const ObjModel&) = delete;
};

// The first group in grouplist whose name equals `name` exactly, or null.
ObjGroup* glmLookupGroup(ObjModel* model, const char* name);

// The group called `name`, created (empty, material 0) at the head of grouplist when missing.
ObjGroup* glmObtainGroup(ObjModel* model, const char* name);

// Index of the first material called `name`; 0 ("default") with a message on
// standard output when none is.
unsigned glmFindMaterial(ObjModel* model, const char* name);

// `path` cut after its last '/', or the empty string when it has none.
std::string glmDirectoryOf(const char* path);

// Releases a model and everything it owns (its OpenGL textures and lists stay).
void glmDelete(ObjModel* model);
