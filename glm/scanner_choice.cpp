// The readers' scanner opening, library-wide like the texture hook: the model
// library reads one model at a time.
#include "glm/scanner_choice.h"

#include "glm/buffer_scanner.h"

namespace {

GlmScannerOpener currentOpener = nullptr;

}  // namespace

GlmScannerOpener glmSetScannerOpener(GlmScannerOpener opener) {
  const GlmScannerOpener previous = currentOpener;
  currentOpener = opener;
  return previous;
}

GlmScannerOpener glmScannerOpener() { return currentOpener; }

std::unique_ptr<ObjScanner> glmOpenScanner(const char* path, std::string* problem) {
  if (currentOpener != nullptr) return currentOpener(path, problem);
  return BufferScanner::open(path, problem);
}
