// The formatted reads of the OBJ and MTL readers ("%127s", "%f %f %f", the
// face corner patterns, fgets) done on bytes in memory, with the results of
// glibc's fscanf/fgets on the same bytes: the same values, the same return
// values and the same characters consumed. (Numbers are read as in the "C"
// locale, the only one the program runs in.)
#pragma once

#include "glm/scanner.h"

// A read position in a range of bytes; the end of the range is the end of the
// input. The byte at `end` must be readable and NUL (a string's terminator, or
// the one BufferScanner puts behind the file): the loops stop on it without
// testing for the end at every character.
struct ScanCursor {
  const char* pos;
  const char* end;
};

// fscanf(in, "%<width>s", token): 1, or -1 at the end of the input (token untouched then).
int glmScanToken(ScanCursor& in, char* token, int width);

// fgets(buffer, size, in): false, buffer untouched, when nothing is left.
bool glmScanLine(ScanCursor& in, char* buffer, int size);

// fscanf(in, "%f"), "%f %f" or "%f %f %f" for `count` 1, 2 or 3.
int glmScanFloats(ScanCursor& in, float* values, int count);

// fscanf(in, pattern, ...) with the corner pattern of `form` ("%ld//%ld",
// "%ld/%ld/%ld", "%ld/%ld" or "%ld").
int glmScanCorner(ScanCursor& in, FaceForm form, long* vertex, long* texture, long* normal);

// glmFaceFormOf without sscanf: the same decision for the same token.
FaceForm glmScanFaceForm(const char* token);

// glmScanFaceForm and then glmParseCorner with that form on the same token, in
// one scan of the token where the form allows.
FaceForm glmScanFirstCorner(const char* token, long* vertex, long* texture, long* normal);
