// The large OBJ file the loading benchmark reads: a tessellated terrain written
// by deterministic code into the run's scratch folder, reused while it is intact.
#pragma once

#include <cstdint>
#include <string>

struct BigObjFile {
  std::string path;
  std::uint64_t bytes = 0;
  unsigned vertices = 0;   // "v" lines
  unsigned triangles = 0;  // after fan triangulation
  bool reused = false;     // found intact from an earlier run
};

// Makes (or finds) a terrain OBJ of at least `megabytes` million bytes in
// `folder`: tiles of a height field as groups with v, vt and vn lines and faces
// in all four corner forms (quads and triangles, a few tiles with relative
// indices), numbers written the ways exporters write them. No mtllib. A stamp
// file beside it records size and content hash; a file that does not match is
// written anew. Empty path on failure.
BigObjFile makeBigObj(const std::string& folder, int megabytes);

// Two OBJ files over one library of 20,000 materials (mats.mtl), written into
// `folder`, with the same geometry: 200,000 quads of a grid. `switching` names
// the library on 20,000 mtllib lines and switches material on 100,000 usemtl
// lines spread over the faces; `plain` names the library and one material once.
struct MaterialObjFiles {
  std::string switching;
  std::string plain;
  unsigned materials = 0;
  unsigned usemtlLines = 0;
  unsigned mtllibLines = 0;
  unsigned triangles = 0;
};

// Empty paths on failure.
MaterialObjFiles makeMaterialObjs(const std::string& folder);
