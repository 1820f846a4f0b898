// Kart loading figures. The kart is read from data/ as the scene reads it on its
// first draw; the "Loaded texture" lines that texture loading prints go to
// /dev/null while the measured runs repeat them.
#include "benchmark/velmora_bench/load_kart.h"

#include <fcntl.h>
#include <unistd.h>

#include <GL/gl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "benchmark/velmora_bench/load_gl_context.h"
#include "benchmark/velmora_bench/load_timing.h"
#include "glm/glm.h"
#include "image/image.h"
#include "image/material_texture.h"
#include "image/texture_loader.h"
#include "tests/reference/stdio_scanner.h"

namespace {

const char KART_PATH[] = "data/models/go-carts/GO-CART-BLUE.obj";

std::vector<std::string> requestedTextures;

// Texture loading left out: every map gets a made-up texture at once.
MaterialTextureResult stubTexture(const char* path, bool, bool, bool) {
  requestedTextures.push_back(path);
  MaterialTextureResult result;
  result.ok = true;
  result.id = static_cast<unsigned>(requestedTextures.size());
  result.width = 1;
  result.height = 1;
  return result;
}

// Standard error to /dev/null for the lifetime of the object.
class QuietStderr {
 public:
  QuietStderr() {
    std::fflush(stderr);
    saved_ = dup(2);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 2);
      close(null);
    }
  }
  ~QuietStderr() {
    std::fflush(stderr);
    if (saved_ >= 0) {
      dup2(saved_, 2);
      close(saved_);
    }
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

std::unique_ptr<ObjModel> readKart(ScannerKind kind, double* seconds) {
  const ScannerKind previous = glmSetScannerKind(kind);
  std::unique_ptr<ObjModel> model;
  ReadStatus status;
  *seconds = secondsOf([&] { status = glmReadOBJChecked(KART_PATH, &model); });
  glmSetScannerKind(previous);
  if (!status.ok()) std::printf("  kart read failed: %s", status.message.c_str());
  return model;
}

void releaseTextures(const ObjModel& model) {
  for (const ObjTexture& texture : model.tex) glDeleteTextures(1, &texture.id);
}

void printRow(const char* what, double stdioSeconds, double fastSeconds) {
  if (stdioSeconds < 0) {
    std::printf("  %-44s %10s %9.2f ms\n", what, "", fastSeconds * 1000);
  } else {
    std::printf("  %-44s %7.2f ms %9.2f ms  (%.2fx)\n", what, stdioSeconds * 1000, fastSeconds * 1000,
                stdioSeconds / fastSeconds);
  }
}

}  // namespace

void runKartLoading(int runs) {
  std::printf("\n-- Kart start-up load: %s with its MTL and textures, medians of %d --\n", KART_PATH, runs);
  if (access(KART_PATH, R_OK) != 0) {
    std::printf("  %s not found (run from the project root after building data/)\n", KART_PATH);
    return;
  }
  std::printf("  %-44s %10s %12s\n", "", "stdio", "fast");

  // ---- The read alone, textures stubbed.
  GlmTextureHook previousHook = glmSetTextureHook(stubTexture);
  std::vector<double> stdioRead, fastRead;
  for (int i = 0; i < runs; ++i) {
    double seconds = 0;
    requestedTextures.clear();
    if (readKart(ScannerKind::STDIO, &seconds)) stdioRead.push_back(seconds);
    requestedTextures.clear();
    if (readKart(ScannerKind::BUFFER, &seconds)) fastRead.push_back(seconds);
  }
  glmSetTextureHook(previousHook);
  const std::vector<std::string> textures = requestedTextures;
  printRow("read OBJ + MTL (textures stubbed)", medianOf(stdioRead), medianOf(fastRead));

  // ---- Texture decoding alone, through a registry as the reader uses one.
  std::vector<double> decode;
  for (int i = 0; i < runs; ++i) {
    CTextureLoader registry;
    decode.push_back(secondsOf([&] {
      for (const std::string& path : textures) {
        CImage* image = nullptr;
        if (registry.Load(path.c_str(), &image)) delete image;
      }
    }));
  }
  std::string names;
  for (const std::string& path : textures) names += " " + path.substr(path.rfind('/') + 1);
  char label[128];
  std::snprintf(label, sizeof label, "decode %zu textures (%s )", textures.size(), names.c_str());
  printRow(label, -1, medianOf(decode));

  LoadGlContext context;
  if (!context.ready()) {
    std::printf("  (no display: texture uploads, mipmaps and the display list are not measured)\n");
    return;
  }
  std::printf("  OpenGL: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

  // ---- Decoding with uploads and mipmaps, as glmLoadTexture does it.
  std::vector<double> upload;
  {
    QuietStderr quiet;
    for (int i = 0; i < runs; ++i) {
      TextureRegistryScope registry;
      std::vector<GLuint> ids;
      upload.push_back(secondsOf([&] {
        for (const std::string& path : textures) {
          MaterialTextureResult loaded = glmTryLoadTexture(path.c_str(), true, true, true);
          if (loaded.ok) ids.push_back(loaded.id);
        }
        glFinish();
      }));
      for (GLuint id : ids) glDeleteTextures(1, &id);
    }
  }
  printRow("decode + gluBuild2DMipmaps + upload", -1, medianOf(upload));

  // ---- The whole first-draw preparation of the scene's kart.
  std::vector<double> stdioWhole, fastWhole, stdioWithTextures, fastWithTextures, prepare, compile;
  {
    QuietStderr quiet;
    for (int i = 0; i < runs; ++i) {
      for (ScannerKind kind : {ScannerKind::STDIO, ScannerKind::BUFFER}) {
        std::unique_ptr<ObjModel> model;
        double readSeconds = 0, prepareSeconds = 0, compileSeconds = 0;
        model = readKart(kind, &readSeconds);
        if (!model) return;
        prepareSeconds = secondsOf([&] {
          glmFitToUnitCube(model.get());
          glmScaleVertices(model.get(), 2.0f);
          glmComputeFacetNormals(model.get());
          glmVertexNormals(model.get(), 90.0f);
        });
        GLuint list = 0;
        compileSeconds = secondsOf([&] {
          list = glmCompileList(model.get(), DRAW_SMOOTH | DRAW_MATERIAL);
          glFinish();
        });
        glDeleteLists(list, 1);
        releaseTextures(*model);
        const double whole = readSeconds + prepareSeconds + compileSeconds;
        if (kind == ScannerKind::STDIO) {
          stdioWithTextures.push_back(readSeconds);
          stdioWhole.push_back(whole);
        } else {
          fastWithTextures.push_back(readSeconds);
          fastWhole.push_back(whole);
          prepare.push_back(prepareSeconds);
          compile.push_back(compileSeconds);
        }
      }
    }
  }
  printRow("glmReadOBJ with real textures", medianOf(stdioWithTextures), medianOf(fastWithTextures));
  printRow("fit, scale, facet and vertex normals", -1, medianOf(prepare));
  printRow("display list (smooth, material)", -1, medianOf(compile));
  printRow("whole first draw preparation", medianOf(stdioWhole), medianOf(fastWhole));
}
