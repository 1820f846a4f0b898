// The readers' scanner choice, library-wide like the texture hook: the model
// library reads one model at a time.
#include "glm/scanner_choice.h"

#include "glm/buffer_scanner.h"

namespace {

ScannerKind currentKind = ScannerKind::BUFFER;

}  // namespace

ScannerKind glmSetScannerKind(ScannerKind kind) {
  ScannerKind previous = currentKind;
  currentKind = kind;
  return previous;
}

ScannerKind glmScannerKind() { return currentKind; }

std::unique_ptr<ObjScanner> glmOpenScanner(const char* path, std::string* problem) {
  if (currentKind == ScannerKind::STDIO) {
    FilePtr file = glmOpenTextFile(path, problem);
    if (!file) return nullptr;
    return std::make_unique<StdioScanner>(std::move(file));
  }
  return BufferScanner::open(path, problem);
}
