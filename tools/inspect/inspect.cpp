// velmora-inspect: describes image and model files the way the program sees
// them, through the same texture registry and the same model reader.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "glm/glm.h"
#include "image/image.h"
#include "image/texture_loader.h"
#include "tools/common/command_line.h"

namespace {

const char* USAGE =
    "Usage: velmora-inspect [OPTIONS] FILE...\n"
    "Describes each file as Velmora reads it.\n"
    "  Images (any extension the texture registry serves: tga, bmp): format, size and\n"
    "  the loader's verdict.\n"
    "  Models (.obj): read with the program's own OBJ/MTL reader, then prepared as the\n"
    "  scene prepares its models (fit to the unit cube, scale 2, facet normals, vertex\n"
    "  normals at 90 degrees); prints the counts, the bounding box as read, groups,\n"
    "  materials, textures and the warnings the scene's draw mode 18 would give.\n"
    "  Material textures are decoded through the same registry, but no OpenGL texture\n"
    "  is created (no window is opened), so texture ids show as 0.\n"
    "A file the program would refuse prints the program's own message.\n"
    "\n"
    "  --help      this text\n"
    "  --version   the version\n"
    "  --          the arguments after it are files, even those starting with a dash\n"
    "Exit status: 0 when every file was read, 1 when any was refused, 2 for a wrong\n"
    "command line.\n";

// Material textures decoded like the program decodes them, without creating
// GL textures; the failure text is the one the program prints.
MaterialTextureResult decodeOnly(const char* path, bool, bool, bool) {
  while (*path == ' ') ++path;
  MaterialTextureResult result;
  CImage* image = nullptr;
  if (glmTextureLoader == nullptr || !glmTextureLoader->Load(path, &image)) {
    result.error = std::string("Error reading texture: ") + path + " \n";
    return result;
  }
  result.ok = true;
  result.width = static_cast<float>(image->GetWidth());
  result.height = static_cast<float>(image->GetHeight());
  delete image;
  return result;
}

// A name as text: quoted, with control characters (the line end a texture
// name keeps) written as escapes so that every entry stays on one line.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 32) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", c);
      out += code;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

bool endsWith(const std::string& text, const char* tail) {
  size_t n = std::strlen(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

bool inspectImage(const std::string& path) {
  std::printf("%s\n", path.c_str());
  CTextureLoader registry;
  char extension[CTextureLoader::EXTENSION_SIZE];
  registry.GetExtension(path.c_str(), extension);
  if (registry.FindLoader(extension) == nullptr) {
    std::printf("  verdict: refused, no loader for the extension \"%s\"\n", extension);
    return false;
  }
  std::fflush(stdout);
  CImage* image = nullptr;
  if (!registry.Load(path.c_str(), &image)) {
    std::fflush(stdout);
    std::printf("  verdict: refused by the %s loader\n", extension);
    return false;
  }
  std::printf("  format: %s, %d bytes per pixel\n", image->GetFormat() == GL_RGBA ? "RGBA" : "RGB",
              image->GetBytesPerPixel());
  std::printf("  size: %d x %d\n", image->GetWidth(), image->GetHeight());
  std::printf("  verdict: loaded by the %s loader\n", extension);
  delete image;
  return true;
}

void printBounds(const ObjModel& model) {
  if (model.nvertices == 0) {
    std::printf("  bounding box: none (no vertices)\n");
    return;
  }
  float lo[3], hi[3];
  for (int a = 0; a < 3; ++a) lo[a] = hi[a] = model.vertices[3 + a];
  for (size_t k = 1; k <= model.nvertices; ++k) {
    for (int a = 0; a < 3; ++a) {
      float v = model.vertices[3 * k + a];
      if (v < lo[a]) lo[a] = v;
      if (v > hi[a]) hi[a] = v;
    }
  }
  std::printf("  bounding box: x [%g, %g]  y [%g, %g]  z [%g, %g]\n", lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]);
}

bool inspectModel(const std::string& path) {
  std::printf("%s\n", path.c_str());
  std::fflush(stdout);
  std::unique_ptr<ObjModel> model;
  ReadStatus status = glmReadOBJChecked(path.c_str(), &model);
  if (!status.ok()) {
    std::fflush(stdout);
    std::fputs(status.message.c_str(), status.toStdout ? stdout : stderr);
    std::fflush(status.toStdout ? stdout : stderr);
    std::printf("  verdict: refused\n");
    return false;
  }
  std::printf("  vertices: %u\n  normals: %u\n  texture coordinates: %u\n  triangles: %u\n", model->nvertices,
              model->nnormals, model->nuvs, model->ntris);
  std::printf("  groups: %u\n", model->ngroups);
  for (const ObjGroup* group = model->grouplist; group != nullptr; group = group->next) {
    std::string material = group->material < model->mtls.size() ? model->mtls[group->material].name : "-";
    std::printf("    %s: %u triangles, material %s\n", quoted(group->name).c_str(), group->ntris,
                quoted(material).c_str());
  }
  std::printf("  materials: %u%s\n", model->nmtls,
              model->mtllibfile.empty() ? " (no material library)" : (" from " + quoted(model->mtllibfile)).c_str());
  for (const ObjMaterial& material : model->mtls) {
    std::printf("    %s: diffuse %g %g %g %g, shininess %g", quoted(material.name).c_str(), material.diffuse[0],
                material.diffuse[1], material.diffuse[2], material.diffuse[3], material.shininess);
    if (material.texture >= 0) std::printf(", texture %d", material.texture);
    std::printf("\n");
  }
  std::printf("  textures: %u\n", model->ntex);
  for (unsigned i = 0; i < model->ntex; ++i) {
    std::printf("    %u %s: %g x %g\n", i, quoted(model->tex[i].name).c_str(), model->tex[i].width,
                model->tex[i].height);
  }
  printBounds(*model);

  float scale = 0;
  ReadStatus fit = glmFitToUnitCubeChecked(model.get(), &scale);
  if (!fit.ok()) {
    std::fputs(fit.message.c_str(), stderr);
    std::fflush(stderr);
    std::printf("  verdict: refused when prepared\n");
    return false;
  }
  glmScaleVertices(model.get(), 2.0f);
  glmComputeFacetNormals(model.get());
  unsigned unused = glmVertexNormalsCounted(model.get(), 90.0f, false);
  std::printf("  prepared: fit factor %g, %u vertex normals at 90 degrees\n", scale, model->nnormals);

  std::vector<const char*> warnings;
  glmReduceDrawMode(model.get(), DRAW_SMOOTH | DRAW_MATERIAL, &warnings);
  std::printf("  warnings: %zu\n", warnings.size() + (unused != 0 ? 1 : 0));
  for (const char* warning : warnings) std::printf("    %s", warning);
  if (unused != 0) {
    std::printf("    glmVertexNormals(): vertex w/o a triangle (for %u %s)\n", unused,
                unused == 1 ? "vertex" : "vertices");
  }
  std::printf("  verdict: read\n");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine line("velmora-inspect", USAGE);
  std::vector<std::string> files;
  const int status = line.handle(argc, argv, &files);
  if (status >= 0) return status;
  if (files.empty()) return line.refuse("no file given");
  glmSetTextureHook(decodeOnly);
  bool allRead = true;
  for (const std::string& path : files) {
    bool read = endsWith(path, ".obj") || endsWith(path, ".OBJ") ? inspectModel(path) : inspectImage(path);
    allRead = allRead && read;
    std::fflush(stdout);
  }
  return allRead ? 0 : 1;
}
