// The text reads that the OBJ and MTL readers are made of. StdioScanner is the
// reference: formatted stdio input, whose exact semantics (what a failed number
// read leaves in the stream, how far a line read goes) define the readers'
// behaviour. A faster scanner must reproduce them read for read.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
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

  // glmFaceFormOf and glmParseCorner on a token already read; a scanner may do
  // them its own faster way, with the same results.
  virtual FaceForm faceFormOf(const char* token);
  virtual int parseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal);

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

 private:
  void skipByteOrderMark();

  FilePtr owned_;
  std::FILE* file_;
  long start_ = 0;  // where the text starts: 3 behind a byte-order mark
};

// The three bytes of a UTF-8 byte-order mark.
constexpr char GLM_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

// Opens a text file for reading ("r"); null, with the reason in *problem when
// given, for anything but a regular file of at most MODEL_MAX_FILE_BYTES (a
// folder, a device, a FIFO: stdio would wait on a FIFO or read a device forever).
FilePtr glmOpenTextFile(const char* path, std::string* problem = nullptr);
