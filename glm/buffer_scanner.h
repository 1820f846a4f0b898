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
  ~BufferScanner() override;
  BufferScanner(const BufferScanner&) = delete;
  BufferScanner& operator=(const BufferScanner&) = delete;

  // Reads the whole file; null when it cannot be opened or is a directory (as
  // glmOpenTextFile refuses it). A regular file is mapped into memory rather
  // than copied, unless its size is a whole number of pages (there would be no
  // NUL behind its end). A read error ends the data where it happened, as stdio
  // would meet the end of the file there. A file that cannot seek (a pipe)
  // keeps stdio's behaviour there: rewind leaves nothing to read and
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

  std::unique_ptr<char[]> copy_;  // the bytes, when copied
  void* mapping_ = nullptr;       // or the file mapped, with its length
  std::size_t mappingSize_ = 0;
  const char* begin_ = nullptr;
  ScanCursor cursor_{nullptr, nullptr};
  // A pipe cannot go back: stdio's rewind fails there and what was read is
  // gone, and its position (the line number) is unknown.
  bool seekable_ = true;
};
