// The scanner the program reads models with: the whole file in memory and the
// formatted reads done on it directly, with StdioScanner's results read for read.
#pragma once

#include <cstddef>
#include <memory>

#include "glm/scanner.h"
#include "glm/text_scan.h"

class BufferScanner : public ObjScanner {
 public:
  // Over a copy of `size` bytes. A leading UTF-8 byte-order mark is skipped,
  // as StdioScanner skips it.
  BufferScanner(const char* bytes, std::size_t size);
  ~BufferScanner() override;
  BufferScanner(const BufferScanner&) = delete;
  BufferScanner& operator=(const BufferScanner&) = delete;

  // Reads the whole file; null, with the reason in *problem when given, for
  // what glmOpenTextFile refuses (anything but a regular file within the cap).
  // The file is mapped into memory rather than copied, unless its size is a
  // whole number of pages (there would be no NUL behind its end). A read error
  // ends the data where it happened, as stdio would meet the end of the file there.
  static std::unique_ptr<BufferScanner> open(const char* path, std::string* problem = nullptr);

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

  // The text is the `size` bytes at `bytes` (a NUL behind them), less a byte-order mark.
  void startAt(const char* bytes, std::size_t size);

  std::unique_ptr<char[]> copy_;  // the bytes, when copied
  void* mapping_ = nullptr;       // or the file mapped, with its length
  std::size_t mappingSize_ = 0;
  const char* begin_ = nullptr;
  ScanCursor cursor_{nullptr, nullptr};
};
