// Which scanner the OBJ and MTL readers open their files with: the in-memory
// BufferScanner, unless the caller has put another opening in its place (the
// tests and the benchmark read through a stdio reference to compare).
#pragma once

#include <memory>
#include <string>

#include "glm/scanner.h"

// Opens `path` for reading; null, with the reason in *problem when given, when
// it cannot be opened or is not a regular file within the cap.
using GlmScannerOpener = std::unique_ptr<ObjScanner> (*)(const char* path, std::string* problem);

// Replaces the opening every later read uses; null restores BufferScanner::open.
// Returns the opening in force before (null for BufferScanner::open).
GlmScannerOpener glmSetScannerOpener(GlmScannerOpener opener);

// The opening in force; null for BufferScanner::open.
GlmScannerOpener glmScannerOpener();

// Opens `path` with the opening in force.
std::unique_ptr<ObjScanner> glmOpenScanner(const char* path, std::string* problem = nullptr);
