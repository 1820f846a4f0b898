// velmora-inspect: describes image and model files the way the program sees
// them, through the same texture registry and the same model reader.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/display.h"
#include "cli/png_file.h"
#include "glm/glm.h"
#include "image/image.h"
#include "image/texture_loader.h"
#include "support/output_file.h"
#include "support/printable_text.h"
#include "support/read_limits.h"
#include "tools/inspect/picture_layout.h"
#include "tools/inspect/picture_options.h"
#include "tools/inspect/picture_read.h"
#include "tools/inspect/picture_render.h"
#include "tools/offscreen/offscreen.h"

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
    "  Also warns where a model is legal but probably not what its author meant: material\n"
    "  libraries named but not used, faces with fewer than three corners, usemtl changing\n"
    "  the material of a group that already has triangles, non-finite coordinates, and\n"
    "  vertices no face uses.\n"
    "A file the program would refuse prints the program's own message and the reason.\n"
    "\n"
    "  --help      this text\n"
    "  --version   the version\n"
    "  --          the arguments after it are files, even those starting with a dash\n"
    "\n"
    "Picture of a model: velmora-inspect --picture OUT.png [OPTIONS] MODEL.obj\n"
    "  Prints the report above, then draws the model as the scene does (its display\n"
    "  list of mode 18: smooth normals and material colours, textures loaded but not\n"
    "  drawn) offscreen into a PNG sheet of views, each framed to fit the model, lit\n"
    "  by a key and a fill light over a ground grid, with the model's size in its own\n"
    "  units and the grid's step written under the views. A material library or a\n"
    "  material texture that is missing is reported with the program's message and\n"
    "  left out: the model, or the materials of that texture, show light grey. No X\n"
    "  display: it runs itself under xvfb-run.\n"
    "  --picture FILE    the PNG file to write\n"
    "  --views LIST      any of front, side, top, iso, comma-separated, in the order\n"
    "                    wanted (default front,side,top,iso). front looks from -x, the\n"
    "                    side the scene takes for a kart's front; side from +z; top from\n"
    "                    above; iso from front, side and above at once\n"
    "  --turntable N     N views round the vertical axis instead (1..36)\n"
    "  --size WxH        each view's size in pixels (default 400x300, 64..4096 each)\n"
    "  --up y|z          the model's up axis (default y; z for files from tools that\n"
    "                    export z up)\n"
    "  --ortho           orthographic cameras (default perspective)\n"
    "  --faces           back faces (seen from behind: inside-out parts) in magenta\n"
    "  --normals         the vertex normals as short cyan lines\n"
    "Every option also takes its value as --option=VALUE.\n"
    "\n"
    "Exit status: 0 when every file was read (and the picture written), 1 when any\n"
    "was refused (or the picture could not be written), 2 for a wrong command line.\n";

// Material textures decoded like the program decodes them, without creating
// GL textures; the failure text is the one the program prints.
MaterialTextureResult decodeOnly(const char* path, bool, bool, bool) {
  while (*path == ' ') ++path;
  MaterialTextureResult result;
  CImage* image = nullptr;
  if (glmTextureLoader == nullptr || !glmTextureLoader->Load(path, &image)) {
    result.error = "Error reading texture: " + printableText(path) + " \n";
    result.reason = reasonLine(path, glmTextureLoader == nullptr ? "no model is being read" : glmTextureLoader->GetFailure());
    return result;
  }
  result.ok = true;
  result.width = static_cast<float>(image->GetWidth());
  result.height = static_cast<float>(image->GetHeight());
  delete image;
  return result;
}

// A name as text: quoted, with control characters (the line end a texture
// name keeps) and broken UTF-8 written as escapes so that every entry stays on one line.
std::string quoted(const std::string& text) { return "\"" + printableText(text) + "\""; }

bool endsWith(const std::string& text, const char* tail) {
  size_t n = std::strlen(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

bool inspectImage(const std::string& path) {
  std::printf("%s\n", printableText(path).c_str());
  std::fflush(stdout);
  CTextureLoader registry;
  char extension[CTextureLoader::EXTENSION_SIZE];
  registry.GetExtension(path.c_str(), extension);
  CImage* image = nullptr;
  if (!registry.Load(path.c_str(), &image)) {
    std::fflush(stderr);
    std::printf("  verdict: refused, %s\n", registry.GetFailure().c_str());
    return false;
  }
  std::printf("  format: %s, %d bytes per pixel\n", image->GetFormat() == GL_RGBA ? "RGBA" : "RGB",
              image->GetBytesPerPixel());
  std::printf("  size: %d x %d\n", image->GetWidth(), image->GetHeight());
  std::printf("  verdict: loaded by the %s loader\n", printableText(extension).c_str());
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

// Numbers that are nan or inf (or were out of float range) in the arrays as read.
unsigned nonFiniteEntries(const std::vector<float>& values, unsigned count, int width) {
  unsigned found = 0;
  for (size_t k = 1; k <= count && (k + 1) * width <= values.size(); ++k) {
    for (int a = 0; a < width; ++a) {
      if (!std::isfinite(values[k * width + a])) {
        ++found;
        break;
      }
    }
  }
  return found;
}

// What is legal in the file but probably not what its author meant.
std::vector<std::string> readWarnings(const ObjModel& model, const ObjReadNotes& notes) {
  std::vector<std::string> warnings = notes.warnings;
  const unsigned nonFinite = nonFiniteEntries(model.vertices, model.nvertices, 3) +
                             nonFiniteEntries(model.normals, model.nnormals, 3) +
                             nonFiniteEntries(model.uvs, model.nuvs, 2);
  if (nonFinite != 0) {
    warnings.push_back(std::to_string(nonFinite) +
                       " vertices, normals or texture coordinates hold a number that is nan, inf or out of float "
                       "range; the model cannot be fitted or lit where they are used\n");
  }
  if (notes.shortFaces != 0) {
    warnings.push_back(std::to_string(notes.shortFaces) +
                       (notes.shortFaces == 1 ? " face has" : " faces have") +
                       " fewer than three corners; each is stored as one triangle that repeats its last corner\n");
  }
  for (const auto& [name, times] : notes.materialSwitches) {
    const ObjGroup* group = glmLookupGroup(const_cast<ObjModel*>(&model), name.c_str());
    const std::string last =
        group != nullptr && group->material < model.mtls.size() ? model.mtls[group->material].name : "-";
    warnings.push_back("usemtl changes the material of group " + quoted(name) + " after it has triangles (" +
                       std::to_string(times) + (times == 1 ? " time" : " times") + "); only the last one, " +
                       quoted(last) + ", colours the whole group\n");
  }
  return warnings;
}

// The model's extent along each axis of `points` (x, y, z triples).
void extentOf(const std::vector<float>& points, double extent[3]) {
  for (int a = 0; a < 3; ++a) {
    double lo = 0, hi = 0;
    for (size_t i = a; i < points.size(); i += 3) {
      lo = i == static_cast<size_t>(a) ? points[i] : std::min<double>(lo, points[i]);
      hi = i == static_cast<size_t>(a) ? points[i] : std::max<double>(hi, points[i]);
    }
    extent[a] = hi - lo;
  }
}

std::string baseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// Draws the prepared model into the picture file; false with a message when
// that cannot be done.
bool writePicture(ObjModel* model, unsigned drawMode, const double rawSize[3], const std::string& path,
                  const PictureOptions& options) {
  PictureModel picture;
  picture.model = model;
  picture.name = printableText(baseName(path));
  std::copy(rawSize, rawSize + 3, picture.size);
  double fitted[3];
  extentOf(drawnPoints(*model, options.zUp), fitted);
  const double largest = std::max({fitted[0], fitted[1], fitted[2]});
  picture.modelUnits = largest > 0 ? std::max({rawSize[0], rawSize[1], rawSize[2]}) / largest : 1;
  picture.list = glmCompileList(model, drawMode);
  std::string error;
  const RgbImage image = renderPicture(picture, options, &error);
  if (image.empty() ||
      !writePngFile(options.output, image.width, image.height, 3, image.rgb.data(), false, &error)) {
    std::fflush(stdout);
    std::fprintf(stderr, "velmora-inspect: %s\n", error.c_str());
    return false;
  }
  const size_t views = pictureViews(options).size();
  std::printf("  picture: %s, %zu view%s of %d x %d%s\n", printableText(options.output).c_str(), views,
              views == 1 ? "" : "s", options.width, options.height,
              drawnPoints(*model, false).empty() ? ", nothing to draw" : "");
  return true;
}

// Describes the model; with `picture`, reads it as the picture does and draws it.
bool inspectModel(const std::string& path, const PictureOptions* picture) {
  std::printf("%s\n", printableText(path).c_str());
  std::fflush(stdout);
  std::unique_ptr<ObjModel> model;
  ObjReadNotes notes;
  std::vector<std::string> missing;
  ReadStatus status = picture != nullptr ? readModelForPicture(path, &model, &notes, &missing)
                                         : glmReadOBJChecked(path.c_str(), &model, &notes);
  std::fflush(stdout);
  for (const std::string& text : missing) std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
  if (!status.ok()) {
    std::fflush(stdout);
    std::fputs(status.text().c_str(), status.toStdout ? stdout : stderr);
    std::fflush(status.toStdout ? stdout : stderr);
    std::printf("  verdict: refused\n");
    return false;
  }
  std::vector<std::string> warnings = readWarnings(*model, notes);
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
  double rawSize[3] = {0, 0, 0};
  if (picture != nullptr) extentOf(drawnPoints(*model, picture->zUp), rawSize);

  float scale = 0;
  ReadStatus fit = glmFitToUnitCubeChecked(model.get(), &scale);
  if (!fit.ok()) {
    std::fputs(fit.text().c_str(), stderr);
    std::fflush(stderr);
    std::printf("  verdict: refused when prepared\n");
    return false;
  }
  glmScaleVertices(model.get(), 2.0f);
  glmComputeFacetNormals(model.get());
  unsigned unused = glmVertexNormalsCounted(model.get(), 90.0f, false);
  std::printf("  prepared: fit factor %g, %u vertex normals at 90 degrees\n", scale, model->nnormals);

  std::vector<const char*> drawWarnings;
  const unsigned drawMode = glmReduceDrawMode(model.get(), DRAW_SMOOTH | DRAW_MATERIAL, &drawWarnings);
  warnings.insert(warnings.end(), drawWarnings.begin(), drawWarnings.end());
  if (unused != 0) {
    warnings.push_back("glmVertexNormals(): vertex w/o a triangle (for " + std::to_string(unused) +
                       (unused == 1 ? " vertex)\n" : " vertices)\n"));
  }
  std::printf("  warnings: %zu\n", warnings.size());
  for (const std::string& warning : warnings) std::printf("    %s", warning.c_str());
  if (picture != nullptr && !writePicture(model.get(), drawMode, rawSize, path, *picture)) return false;
  std::printf("  verdict: read\n");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line("velmora-inspect", USAGE);
  PictureOptions picture;
  addPictureOptions(line, &picture);
  std::vector<std::string> files;
  const int status = line.handle(argc, argv, &files);
  if (status >= 0) return status;
  if (files.empty()) return line.refuse("no file given");
  const std::string mistake = pictureMistake(picture, files);
  if (!mistake.empty()) return line.refuse(mistake);
  if (!picture.output.empty()) {
    // A picture that could not be written is found out before the display and the rendering.
    if (const std::string problem = outputFileProblem(picture.output); !problem.empty()) {
      std::fprintf(stderr, "velmora-inspect: %s; name a file in a folder that can be written\n",
                   cannotWriteText(picture.output, problem).c_str());
      return 1;
    }
    // Material textures become GL textures, as in the program: the context comes first.
    if (!ensureDisplay("velmora-inspect", argv)) return 1;
    openOffscreenContext(argv[0], "velmora-inspect");
    const bool read = inspectModel(files[0], &picture);
    std::fflush(stdout);
    return read ? 0 : 1;
  }
  glmSetTextureHook(decodeOnly);
  bool allRead = true;
  for (const std::string& path : files) {
    bool read = endsWith(path, ".obj") || endsWith(path, ".OBJ") ? inspectModel(path, nullptr) : inspectImage(path);
    allRead = allRead && read;
    std::fflush(stdout);
  }
  return allRead ? 0 : 1;
}
