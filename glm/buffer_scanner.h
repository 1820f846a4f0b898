// The scanner the program reads models with: the whole file in memory and the
// formatted reads done on it directly, with StdioScanner's results read for read.
#pragma once

#include <cstddef>
#include <memory>

#include "glm/scanner.h"
#include "glm/text_scan.h"

class BufferScanner : public ObjScanner {
 public:
  // Over a copy of `size` bytes.
  BufferScanner(const char* bytes, std::size_t size);

  // Reads the whole file; null when it cannot be opened or is a directory (as
  // glmOpenTextFile refuses it). A read error ends the data where it happened,
  // as stdio would meet the end of the file there. A file that cannot seek (a
  // pipe) keeps stdio's behaviour there: rewind leaves nothing to read and
  // currentLine is 0.
  static std::unique_ptr<BufferScanner> open(const char* path);

  bool readToken(char* token) override;
  bool readLine(char* buffer, int size) override;
  int readFloats(float* values, int count) override;
  int readCorner(FaceForm form, long* vertex, long* texture, long* normal) override;
  long currentLine() override;
  void rewind() override;
  FaceForm faceFormOf(const char* token) override;
  int parseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal) override;
  FaceForm parseFirstCorner(const char* token, long* vertex, long* texture, long* normal) override;

 private:
  BufferScanner() = default;

  std::unique_ptr<char[]> bytes_;
  std::size_t size_ = 0;
  ScanCursor cursor_{nullptr, nullptr};
  // A pipe cannot go back: stdio's rewind fails there and what was read is
  // gone, and its position (the line number) is unknown.
  bool seekable_ = true;
};
