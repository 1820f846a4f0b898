// The reference scanner: formatted stdio reads, exactly as the OBJ and MTL
// formats are defined here. Indices are read as long so that an oversized index
// is refused by the range check instead of overflowing the conversion.
#include "glm/scanner.h"

#include <cerrno>
#include <cstring>

#include "glm/model_limits.h"

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

namespace {

// isspace in the "C" locale, the one the program runs in.
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The next word at or after `text`, or null; *length is its length.
const char* nextWord(const char* text, size_t* length) {
  while (isBlank(*text)) ++text;
  if (*text == '\0') return nullptr;
  size_t n = 0;
  while (n < GLM_TOKEN_SIZE - 1 && text[n] != '\0' && !isBlank(text[n])) ++n;
  *length = n;
  return text;
}

}  // namespace

std::vector<std::string> glmWordsOf(const char* text) {
  std::vector<std::string> words;
  size_t length = 0;
  for (const char* word = nextWord(text, &length); word != nullptr; word = nextWord(word + length, &length)) {
    words.emplace_back(word, length);
  }
  return words;
}

std::string glmFirstWord(const char* text) {
  size_t length = 0;
  const char* word = nextWord(text, &length);
  return word != nullptr ? std::string(word, length) : std::string();
}

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

FaceForm ObjScanner::faceFormOf(const char* token) { return glmFaceFormOf(token); }

int ObjScanner::parseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal) {
  return glmParseCorner(token, form, vertex, texture, normal);
}

FaceForm ObjScanner::parseFirstCorner(const char* token, long* vertex, long* texture, long* normal) {
  FaceForm form = faceFormOf(token);
  parseCorner(token, form, vertex, texture, normal);
  return form;
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
