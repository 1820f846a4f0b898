// Reading a Wavefront OBJ file into a new model: a counting pass that sizes the
// arrays (and reads the material library), then a pass that stores the data.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "glm/model.h"
#include "glm/read_status.h"
#include "glm/scanner.h"

// What a read noticed that is legal but probably not what the file's author
// meant, for tools that describe a file. The program prints only `warnings`.
struct ObjReadNotes {
  // Whole lines: material libraries that were named but are not used (a model
  // uses one library: the last one named).
  std::vector<std::string> warnings;
  unsigned shortFaces = 0;  // faces with fewer than three corners
  // Groups whose material a usemtl (or a "g" line carrying one back) changed
  // after they held triangles, with how often: the last material colours them all.
  std::vector<std::pair<std::string, unsigned>> materialSwitches;
};

// Counts vertices, normals, texture coordinates and triangles (per group),
// reads the material library at its mtllib statement and sizes each group's
// triangle array. Fails on a 'v' statement other than v, vn and vt, and when
// the arrays would need more than MODEL_MAX_MEMORY.
ReadStatus glmFirstPass(ObjModel* model, ObjScanner& scanner, ObjReadNotes* notes = nullptr);

// Reads the input again from where the scanner stands (its start) and stores
// the numbers, the triangles and each group's material. Every face index is
// resolved (negative ones relative to what was read before the face) and
// checked against the counts; a bad one fails with the file and line.
ReadStatus glmFillPass(ObjModel* model, ObjScanner& scanner, ObjReadNotes* notes = nullptr);

// Reads `path` into a new model; on failure *out is left empty and the status
// holds the message. Never exits. With `notes` the warnings go there; without,
// they are printed on standard error once the model is read.
ReadStatus glmReadOBJChecked(const char* path, std::unique_ptr<ObjModel>* out, ObjReadNotes* notes = nullptr);

// The same for the program: a file that cannot be read prints its message and
// ends the process with exit status 1.
ObjModel* glmReadOBJ(const char* path);
