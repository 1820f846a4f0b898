// The reference the model readers are held to: formatted stdio input, exactly as
// the OBJ and MTL formats are defined here, and the switch that makes the
// readers open their files with it instead of the program's BufferScanner.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "glm/scanner.h"

// The form a face's first corner token is written in.
FaceForm glmFaceFormOf(const char* token);

// Parses a corner token written in `form`, with the same rules as ObjScanner::readCorner.
int glmParseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The reference scanner over an open stdio stream, owned or not, read from its
// start. A UTF-8 byte-order mark there is not part of the text: the scanner
// starts (and rewinds to) right after it.
class StdioScanner : public ObjScanner {
 public:
  explicit StdioScanner(std::FILE* file) : file_(file) { skipByteOrderMark(); }
  explicit StdioScanner(FilePtr file) : owned_(std::move(file)), file_(owned_.get()) { skipByteOrderMark(); }

  bool readToken(char* token) override;
  bool readLine(char* buffer, int size) override;
  int readFloats(float* values, int count) override;
  int readCorner(FaceForm form, long* vertex, long* texture, long* normal) override;
  long currentLine() override;
  void rewind() override;
  FaceForm faceFormOf(const char* token) override { return glmFaceFormOf(token); }
  int parseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal) override {
    return glmParseCorner(token, form, vertex, texture, normal);
  }

 private:
  void skipByteOrderMark();

  FilePtr owned_;
  std::FILE* file_;
  long start_ = 0;  // where the text starts: 3 behind a byte-order mark
};

// Opens a text file for reading ("r"); null, with the reason in *problem when
// given, for anything but a regular file of at most MODEL_MAX_FILE_BYTES (a
// folder, a device, a FIFO: stdio would wait on a FIFO or read a device forever).
FilePtr glmOpenTextFile(const char* path, std::string* problem = nullptr);

// Which scanner the OBJ and MTL readers open their files with.
enum class ScannerKind {
  BUFFER,  // the whole file in memory (the program's choice)
  STDIO,   // formatted stdio reads, the reference
};

// Sets the kind every later read opens its files with; returns the kind before.
ScannerKind glmSetScannerKind(ScannerKind kind);

ScannerKind glmScannerKind();
