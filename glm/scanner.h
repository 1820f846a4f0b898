// The text reads that the OBJ and MTL readers are made of. Formatted stdio
// input defines them: what a failed number read leaves in the stream, how far a
// line read goes. BufferScanner, the program's, reproduces them read for read;
// the tests hold it to a stdio scanner (tests/reference/stdio_scanner.h).
#pragma once

#include <string>
#include <vector>

// The largest token, line and map-line reads, buffer sizes including the NUL.
constexpr int GLM_TOKEN_SIZE = 128;
constexpr int GLM_LINE_SIZE = 128;
constexpr int GLM_MAP_LINE_SIZE = 260;

// The four ways a face corner is written; the first corner decides for the face.
enum class FaceForm {
  VERTEX_NORMAL,          // v//n
  VERTEX_TEXTURE_NORMAL,  // v/t/n
  VERTEX_TEXTURE,         // v/t
  VERTEX,                 // v
};

class ObjScanner {
 public:
  virtual ~ObjScanner() = default;

  // Reads the next run of non-blank characters, at most GLM_TOKEN_SIZE - 1 of
  // them: a longer run leaves its remainder to be read as the next token.
  // False at the end of the input.
  virtual bool readToken(char* token) = 0;

  // Reads up to and including the next line end, at most size - 1 characters.
  // When nothing is left to read the buffer holds the empty string and the result is false.
  virtual bool readLine(char* buffer, int size) = 0;

  // Reads up to `count` (1 to 3) blank-separated floats; assigned values are
  // stored, others left untouched. The number assigned, or -1 at the end of the input.
  virtual int readFloats(float* values, int count) = 0;

  // Reads one face corner written in `form` from the input; assigned indices are
  // stored, others left untouched. The number assigned, or -1 at the end of the input.
  virtual int readCorner(FaceForm form, long* vertex, long* texture, long* normal) = 0;

  // Line number (1-based) of the current read position: the line of what was read last.
  virtual long currentLine() = 0;

  // Back to the start of the input.
  virtual void rewind() = 0;

  // The form a face's first corner token is written in, and the corner parsed
  // from a token already read in a given form, with the same rules as readCorner
  // (sscanf's on the token).
  virtual FaceForm faceFormOf(const char* token) = 0;
  virtual int parseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal) = 0;

  // faceFormOf(token) and then parseCorner(token, that form, ...): the form of
  // a face and its first corner.
  virtual FaceForm parseFirstCorner(const char* token, long* vertex, long* texture, long* normal);
};

// The words of a rest-of-line text as sscanf's "%127s" reads them one after
// another (blank-separated, at most 127 characters each), without its cost:
// a usemtl line is read as often as a face.
std::vector<std::string> glmWordsOf(const char* text);

// The first of them, or the empty string.
std::string glmFirstWord(const char* text);

// The three bytes of a UTF-8 byte-order mark.
constexpr char GLM_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";
