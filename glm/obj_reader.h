// Reading a Wavefront OBJ file into a new model: a counting pass that sizes the
// arrays (and reads the material library), then a pass that stores the data.
#pragma once

#include <memory>

#include "glm/model.h"
#include "glm/read_status.h"
#include "glm/scanner.h"

// Counts vertices, normals, texture coordinates and triangles (per group),
// reads the material library at its mtllib statement and sizes each group's
// triangle array. Fails on a 'v' statement other than v, vn and vt.
ReadStatus glmFirstPass(ObjModel* model, ObjScanner& scanner);

// Reads the input again from where the scanner stands (its start) and stores
// the numbers, the triangles and each group's material. Every face index is
// resolved (negative ones relative to what was read before the face) and
// checked against the counts; a bad one fails with the file and line.
ReadStatus glmFillPass(ObjModel* model, ObjScanner& scanner);

// Reads `path` into a new model; on failure *out is left empty and the status
// holds the message. Never exits.
ReadStatus glmReadOBJChecked(const char* path, std::unique_ptr<ObjModel>* out);

// The same for the program: a file that cannot be read prints its message and
// ends the process with exit status 1.
ObjModel* glmReadOBJ(const char* path);
