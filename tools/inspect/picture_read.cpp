// A model read for its picture, through the program's own reader.
#include "tools/inspect/picture_read.h"

#include <fstream>
#include <sstream>

#include "glm/buffer_scanner.h"
#include "glm/scanner_choice.h"
#include "glm/texture_hook.h"
#include "tools/inspect/picture_render.h"

namespace {

std::vector<std::string>* failedTextures = nullptr;

// The program's texture load; a texture that cannot be read is noted and
// left without a GL texture (id 0) instead of ending the read.
MaterialTextureResult loadOrNote(const char* path, bool repeat, bool linear, bool mipmap) {
  MaterialTextureResult result = glmTryLoadTexture(path, repeat, linear, mipmap);
  if (!result.ok && failedTextures != nullptr) {
    // Printed as the program prints it: the loader's text, one more line end, the reason.
    failedTextures->push_back(result.error + "\n" + result.reason);
    result = MaterialTextureResult();
    result.ok = true;
  }
  return result;
}

// The file as it is but for its mtllib statements, which become comments.
std::unique_ptr<ObjScanner> openWithoutLibraries(const char* path, std::string* problem) {
  if (BufferScanner::open(path, problem) == nullptr) return nullptr;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string text = bytes.str();
  bool lineStart = true;
  for (char& c : text) {
    if (lineStart && c == 'm') c = '#';
    if (c == '\n')
      lineStart = true;
    else if (c != ' ' && c != '\t' && c != '\r')
      lineStart = false;
  }
  return std::make_unique<BufferScanner>(text.data(), text.size());
}

// Restores the texture call and the scanner opening however the read ends.
class ReadSettings {
 public:
  explicit ReadSettings(std::vector<std::string>* failures) : hook_(glmSetTextureHook(loadOrNote)) {
    failedTextures = failures;
  }
  ~ReadSettings() {
    glmSetTextureHook(hook_);
    glmSetScannerOpener(opener_);
    failedTextures = nullptr;
  }
  ReadSettings(const ReadSettings&) = delete;
  ReadSettings& operator=(const ReadSettings&) = delete;
  void leaveOutLibraries() { glmSetScannerOpener(openWithoutLibraries); }

 private:
  GlmTextureHook hook_;
  GlmScannerOpener opener_ = glmScannerOpener();
};

}  // namespace

ReadStatus readModelForPicture(const std::string& path, std::unique_ptr<ObjModel>* model, ObjReadNotes* notes,
                               std::vector<std::string>* missing) {
  std::vector<std::string> textures;
  ReadSettings settings(&textures);
  ReadStatus status = glmReadOBJChecked(path.c_str(), model, notes);
  if (status.error == ReadError::CANT_OPEN_MTL) {
    missing->push_back(status.text());
    textures.clear();
    *notes = ObjReadNotes();
    settings.leaveOutLibraries();
    status = glmReadOBJChecked(path.c_str(), model, notes);
  }
  if (!status.ok()) return status;
  missing->insert(missing->end(), textures.begin(), textures.end());
  // A material whose texture is missing shows in the grey of a model without materials.
  for (ObjMaterial& material : (*model)->mtls) {
    if (material.texture < 0 || static_cast<unsigned>(material.texture) >= (*model)->ntex ||
        (*model)->tex[material.texture].id != 0)
      continue;
    std::copy(PICTURE_PLAIN_DIFFUSE, PICTURE_PLAIN_DIFFUSE + 4, material.diffuse);
    std::copy(PICTURE_PLAIN_AMBIENT, PICTURE_PLAIN_AMBIENT + 4, material.ambient);
  }
  return status;
}
