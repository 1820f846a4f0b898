// Differential fuzz target: BufferScanner must do what StdioScanner does. One
// input is an OBJ text, optionally followed by a line "%%%" and an MTL text.
// 1. The OBJ bytes are read by both scanners side by side (a stdio stream on
//    the same bytes for the reference), with a sequence of reads that the input
//    itself chooses; every result, value (floats by their bits), buffer and
//    line number must agree.
// 2. Both files are written to a temporary folder and read through
//    glmReadOBJChecked with each scanner kind: status, message, the whole model,
//    the texture requests and everything printed on standard output must agree.
// Any difference aborts with a description.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/support/scratch_files.h"
#include "glm/buffer_scanner.h"
#include "glm/glm.h"
#include "tests/reference/model_compare.h"
#include "tests/reference/stdio_scanner.h"

namespace {

const char SEPARATOR[] = "\n%%%\n";

[[noreturn]] void differ(const std::string& what) {
  std::fprintf(stderr, "scanners differ: %s\n", what.c_str());
  std::abort();
}

// ---- The reads one by one.

void compareReads(const std::string& text, const uint8_t* choices, size_t choiceCount) {
  // fmemopen cannot open zero bytes; an empty input is covered by part 2.
  if (text.empty()) return;
  std::FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  if (stream == nullptr) std::abort();
  StdioScanner reference(stream);
  BufferScanner fast(text.data(), text.size());
  char lastToken[GLM_TOKEN_SIZE] = "";

  // At most 4 reads per input byte keeps every input quick; a rewind starts over.
  const size_t limit = 4 * text.size() + 16;
  for (size_t step = 0; step < limit; ++step) {
    const uint8_t choice = choiceCount != 0 ? choices[step % choiceCount] ^ static_cast<uint8_t>(step / choiceCount) : 0;
    char a[GLM_MAP_LINE_SIZE], b[GLM_MAP_LINE_SIZE];
    std::memset(a, 'A', sizeof a);
    std::memset(b, 'A', sizeof b);
    switch (choice % 10) {
      case 0:
      case 1:
      case 2: {
        const bool ra = reference.readToken(a), rb = fast.readToken(b);
        if (ra != rb || std::memcmp(a, b, sizeof a) != 0) differ("readToken at step " + std::to_string(step));
        std::memcpy(lastToken, a, sizeof lastToken);
        break;
      }
      case 3: {
        const int size = choice & 0x10 ? GLM_MAP_LINE_SIZE : GLM_LINE_SIZE;
        const bool ra = reference.readLine(a, size), rb = fast.readLine(b, size);
        if (ra != rb || std::memcmp(a, b, sizeof a) != 0) differ("readLine at step " + std::to_string(step));
        break;
      }
      case 4:
      case 5: {
        const int count = 1 + (choice >> 4) % 3;
        float fa[3] = {-7, -7, -7}, fb[3] = {-7, -7, -7};
        const int ra = reference.readFloats(fa, count), rb = fast.readFloats(fb, count);
        if (ra != rb || std::memcmp(fa, fb, sizeof fa) != 0) differ("readFloats at step " + std::to_string(step));
        break;
      }
      case 6:
      case 7: {
        const FaceForm form = static_cast<FaceForm>((choice >> 4) % 4);
        long la[3] = {-7, -7, -7}, lb[3] = {-7, -7, -7};
        const int ra = reference.readCorner(form, &la[0], &la[1], &la[2]);
        const int rb = fast.readCorner(form, &lb[0], &lb[1], &lb[2]);
        if (ra != rb || std::memcmp(la, lb, sizeof la) != 0) differ("readCorner at step " + std::to_string(step));
        break;
      }
      case 8: {
        long la[3] = {-7, -7, -7}, lb[3] = {-7, -7, -7};
        const FaceForm fa = reference.parseFirstCorner(lastToken, &la[0], &la[1], &la[2]);
        const FaceForm fb = fast.parseFirstCorner(lastToken, &lb[0], &lb[1], &lb[2]);
        if (fa != fb || std::memcmp(la, lb, sizeof la) != 0 || reference.faceFormOf(lastToken) != fb) {
          differ("parseFirstCorner of \"" + std::string(lastToken) + "\"");
        }
        break;
      }
      default:
        if (choice & 0x10) {
          if (reference.currentLine() != fast.currentLine()) differ("currentLine at step " + std::to_string(step));
        } else if (choice & 0x20) {
          reference.rewind();
          fast.rewind();
        }
        break;
    }
  }
  std::fclose(stream);
}

// ---- Whole reads.

std::vector<std::string> textureRequests;

MaterialTextureResult recordLoad(const char* path, bool, bool, bool) {
  textureRequests.push_back(path);
  MaterialTextureResult result;
  if (std::strstr(path, "FAIL") != nullptr) {
    result.error = std::string("Error reading texture: ") + path + " \n";
    return result;
  }
  result.ok = true;
  result.id = static_cast<unsigned>(textureRequests.size());
  result.width = 2;
  result.height = 1;
  return result;
}

// Standard output of the process into a file while the object lives.
class StdoutCapture {
 public:
  explicit StdoutCapture(const std::string& path) : path_(path) {
    std::fflush(stdout);
    saved_ = dup(1);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (saved_ < 0 || fd < 0) std::abort();
    dup2(fd, 1);
    close(fd);
  }
  std::string finish() {
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
    saved_ = -1;
    std::FILE* file = std::fopen(path_.c_str(), "rb");
    std::string text;
    char chunk[4096];
    size_t got;
    while (file != nullptr && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    if (file != nullptr) std::fclose(file);
    return text;
  }
  ~StdoutCapture() {
    if (saved_ >= 0) finish();
  }

 private:
  std::string path_;
  int saved_ = -1;
};

struct WholeRead {
  ReadStatus status;
  ObjReadNotes notes;
  std::unique_ptr<ObjModel> model;
  std::vector<std::string> requests;
  std::string printed;
};

WholeRead readWith(ScannerKind kind, const std::string& objPath) {
  WholeRead read;
  const ScannerKind previous = glmSetScannerKind(kind);
  textureRequests.clear();
  StdoutCapture capture(fuzzsupport::scratchDir() + "/stdout.txt");
  read.status = glmReadOBJChecked(objPath.c_str(), &read.model, &read.notes);
  read.printed = capture.finish();
  read.requests = textureRequests;
  glmSetScannerKind(previous);
  return read;
}

void compareWholeReads(const std::string& obj, const std::string& mtl) {
  const std::string folder = fuzzsupport::scratchDir();
  const std::string objPath = folder + "/m.obj";
  fuzzsupport::writeFile(objPath, obj.data(), obj.size());
  fuzzsupport::writeFile(folder + "/m.mtl", mtl.data(), mtl.size());
  glmSetTextureHook(recordLoad);
  WholeRead reference = readWith(ScannerKind::STDIO, objPath);
  WholeRead fast = readWith(ScannerKind::BUFFER, objPath);
  glmSetTextureHook(nullptr);

  if (reference.status.error != fast.status.error || reference.status.message != fast.status.message ||
      reference.status.toStdout != fast.status.toStdout || reference.status.reason != fast.status.reason) {
    differ("status: \"" + reference.status.message + "\" against \"" + fast.status.message + "\"");
  }
  if ((reference.model == nullptr) != (fast.model == nullptr)) differ("one model missing");
  if (reference.model) {
    const std::string difference = glmModelDifference(*reference.model, *fast.model);
    if (!difference.empty()) differ("model: " + difference);
  }
  if (reference.requests != fast.requests) differ("texture requests");
  if (reference.notes.warnings != fast.notes.warnings || reference.notes.shortFaces != fast.notes.shortFaces ||
      reference.notes.materialSwitches != fast.notes.materialSwitches) {
    differ("notes");
  }
  if (reference.printed != fast.printed) differ("standard output: \"" + reference.printed + "\" against \"" + fast.printed + "\"");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find(SEPARATOR);
  const std::string obj = split == std::string::npos ? input : input.substr(0, split + 1);
  const std::string mtl = split == std::string::npos ? std::string() : input.substr(split + sizeof(SEPARATOR) - 1);

  // The reads are chosen by the input's own bytes, from its end backwards.
  std::vector<uint8_t> choices(input.rbegin(), input.rend());
  compareReads(obj, choices.data(), choices.size());
  if (!mtl.empty()) compareReads(mtl, data, size);
  compareWholeReads(obj, mtl);
  return 0;
}
