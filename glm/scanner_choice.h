// Which scanner the OBJ and MTL readers open their files with: the in-memory
// BufferScanner normally, the stdio reference where a test or the benchmark
// asks for it.
#pragma once

#include <memory>
#include <string>

#include "glm/scanner.h"

enum class ScannerKind {
  BUFFER,  // the whole file in memory (the program's choice)
  STDIO,   // formatted stdio reads, the reference
};

// Sets the kind every later read opens its files with; returns the kind before.
ScannerKind glmSetScannerKind(ScannerKind kind);

ScannerKind glmScannerKind();

// Opens `path` for reading with the current kind; null, with the reason in
// *problem when given, when it cannot be opened or is not a regular file within the cap.
std::unique_ptr<ObjScanner> glmOpenScanner(const char* path, std::string* problem = nullptr);
