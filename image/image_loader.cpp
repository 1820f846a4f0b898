// What every image loader does around its format's Decode.
#include "image/image_loader.h"

#include <new>

#include "image/image.h"

namespace {

// Closes the loader's stream on every way out of a Load and clears its state,
// so that a refused file never disturbs the next Load of the same loader.
class CloseOnExit {
 public:
  explicit CloseOnExit(std::ifstream& stream) : stream(stream) {}
  ~CloseOnExit() {
    if (stream.is_open()) stream.close();
    stream.clear();
  }
  CloseOnExit(const CloseOnExit&) = delete;
  CloseOnExit& operator=(const CloseOnExit&) = delete;

 private:
  std::ifstream& stream;
};

}  // namespace

bool CImageLoader::Load(const char* fileName, CImage* image) {
  CloseOnExit closer(file);
  try {
    if (Decode(fileName, image)) return true;
  } catch (const std::bad_alloc&) {
    // The image itself is allocated under its own check; this is a read buffer.
    Refuse("not enough memory to read it");
  }
  // Whatever the image held before, a refused file leaves it without pixels.
  image->Release();
  return false;
}
