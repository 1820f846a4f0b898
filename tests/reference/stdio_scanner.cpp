// The reference scanner: formatted stdio reads. Indices are read as long so that
// an oversized index is refused by the range check instead of overflowing the
// conversion.
#include "tests/reference/stdio_scanner.h"

#include <cerrno>
#include <cstring>

#include "glm/model_limits.h"
#include "glm/scanner_choice.h"

namespace {

const char* cornerPattern(FaceForm form) {
  switch (form) {
    case FaceForm::VERTEX_NORMAL:
      return "%ld//%ld";
    case FaceForm::VERTEX_TEXTURE_NORMAL:
      return "%ld/%ld/%ld";
    case FaceForm::VERTEX_TEXTURE:
      return "%ld/%ld";
    case FaceForm::VERTEX:
      break;
  }
  return "%ld";
}

}  // namespace

FaceForm glmFaceFormOf(const char* token) {
  long a, b, c;
  if (std::strstr(token, "//") != nullptr) return FaceForm::VERTEX_NORMAL;
  if (std::sscanf(token, "%ld/%ld/%ld", &a, &b, &c) == 3) return FaceForm::VERTEX_TEXTURE_NORMAL;
  if (std::sscanf(token, "%ld/%ld", &a, &b) == 2) return FaceForm::VERTEX_TEXTURE;
  return FaceForm::VERTEX;
}

int glmParseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal) {
  switch (form) {
    case FaceForm::VERTEX_NORMAL:
      return std::sscanf(token, cornerPattern(form), vertex, normal);
    case FaceForm::VERTEX_TEXTURE_NORMAL:
      return std::sscanf(token, cornerPattern(form), vertex, texture, normal);
    case FaceForm::VERTEX_TEXTURE:
      return std::sscanf(token, cornerPattern(form), vertex, texture);
    case FaceForm::VERTEX:
      break;
  }
  return std::sscanf(token, cornerPattern(form), vertex);
}

bool StdioScanner::readToken(char* token) {
  static_assert(GLM_TOKEN_SIZE == 128, "the width below is the token size less the NUL");
  if (std::fscanf(file_, "%127s", token) == 1) return true;
  token[0] = '\0';
  return false;
}

bool StdioScanner::readLine(char* buffer, int size) {
  if (std::fgets(buffer, size, file_) != nullptr) return true;
  buffer[0] = '\0';
  return false;
}

int StdioScanner::readFloats(float* values, int count) {
  switch (count) {
    case 1:
      return std::fscanf(file_, "%f", &values[0]);
    case 2:
      return std::fscanf(file_, "%f %f", &values[0], &values[1]);
    default:
      return std::fscanf(file_, "%f %f %f", &values[0], &values[1], &values[2]);
  }
}

int StdioScanner::readCorner(FaceForm form, long* vertex, long* texture, long* normal) {
  switch (form) {
    case FaceForm::VERTEX_NORMAL:
      return std::fscanf(file_, cornerPattern(form), vertex, normal);
    case FaceForm::VERTEX_TEXTURE_NORMAL:
      return std::fscanf(file_, cornerPattern(form), vertex, texture, normal);
    case FaceForm::VERTEX_TEXTURE:
      return std::fscanf(file_, cornerPattern(form), vertex, texture);
    case FaceForm::VERTEX:
      break;
  }
  return std::fscanf(file_, cornerPattern(form), vertex);
}

long StdioScanner::currentLine() {
  // Only asked when a read fails, so counting from the start costs nothing in the common path.
  long position = std::ftell(file_);
  if (position < 0) return 0;
  std::rewind(file_);
  long line = 1;
  for (long i = 0; i < position; ++i) {
    int c = std::fgetc(file_);
    if (c == EOF) break;
    if (c == '\n') ++line;
  }
  std::fseek(file_, position, SEEK_SET);
  return line;
}

void StdioScanner::rewind() {
  std::rewind(file_);
  if (start_ != 0) std::fseek(file_, start_, SEEK_SET);
}

void StdioScanner::skipByteOrderMark() {
  char head[3];
  const size_t got = std::fread(head, 1, sizeof head, file_);
  start_ = got == sizeof head && std::memcmp(head, GLM_BYTE_ORDER_MARK, sizeof head) == 0 ? 3 : 0;
  rewind();
}

FilePtr glmOpenTextFile(const char* path, std::string* problem) {
  auto refuse = [&](std::string reason) {
    if (problem != nullptr) *problem = std::move(reason);
    return FilePtr();
  };
  // A first look before opening: opening a FIFO waits for a writer.
  std::string reason = regularFileProblem(path, MODEL_MAX_FILE_BYTES);
  if (!reason.empty()) return refuse(reason);
  FilePtr file(std::fopen(path, "r"));
  if (!file) return refuse(fileErrorText(errno));
  // And a second on what was opened, in case the name now means something else.
  reason = openFileProblem(fileno(file.get()), MODEL_MAX_FILE_BYTES);
  if (!reason.empty()) return refuse(reason);
  return file;
}

namespace {

std::unique_ptr<ObjScanner> openStdio(const char* path, std::string* problem) {
  FilePtr file = glmOpenTextFile(path, problem);
  if (!file) return nullptr;
  return std::make_unique<StdioScanner>(std::move(file));
}

}  // namespace

ScannerKind glmSetScannerKind(ScannerKind kind) {
  const GlmScannerOpener previous = glmSetScannerOpener(kind == ScannerKind::STDIO ? openStdio : nullptr);
  return previous == openStdio ? ScannerKind::STDIO : ScannerKind::BUFFER;
}

ScannerKind glmScannerKind() { return glmScannerOpener() == openStdio ? ScannerKind::STDIO : ScannerKind::BUFFER; }
