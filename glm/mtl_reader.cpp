// MTL reading: a counting pass for the table size, then a reading pass that
// fills the materials and loads their diffuse maps.
#include "glm/mtl_reader.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "glm/check.h"
#include "glm/model_limits.h"
#include "glm/scanner_choice.h"
#include "glm/texture_hook.h"
#include "support/printable_text.h"

namespace {

// A name the model names another file by: a drive-qualified (C:\\...) or
// rooted (/...) one is used as it is, anything else is relative to the model.
bool isAbsolute(const char* name) { return name[0] == '/' || std::strstr(name, ":\\") != nullptr; }

std::string cantOpenMessage(const std::string& path) {
  return "glmReadMTL() failed: can't open material file \"" + printableText(path) + "\".\n";
}

// Makes library `index` the model's table in force: its table and name index
// change places with the model's (the model's go back to their own library).
void swapInLibrary(ObjModel* model, int index) {
  if (model->currentLibrary == index) return;
  if (model->currentLibrary >= 0) {
    ObjMaterialLibrary& previous = model->libraries[static_cast<size_t>(model->currentLibrary)];
    previous.mtls = std::move(model->mtls);
    previous.index = std::move(model->materialIndex);
  }
  ObjMaterialLibrary& next = model->libraries[static_cast<size_t>(index)];
  model->mtls = std::move(next.mtls);
  model->materialIndex = std::move(next.index);
  next.mtls.clear();
  model->nmtls = static_cast<unsigned>(model->mtls.size());
  model->currentLibrary = index;
}

// The library read at `path` before for this model, or -1. Files are told
// apart by what they are, not how they are named ("a.mtl", "./a.mtl").
int knownLibrary(const ObjModel& model, const struct stat& info) {
  for (size_t i = 0; i < model.libraries.size(); ++i) {
    const ObjMaterialLibrary& library = model.libraries[i];
    if (library.device == static_cast<std::uint64_t>(info.st_dev) && library.inode == static_cast<std::uint64_t>(info.st_ino)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

ReadStatus readLibrary(ObjModel* model, const char* name, const std::string& path);

}  // namespace

ReadStatus glmReadMTLChecked(ObjModel* model, const char* name) {
  GLM_ASSERT(model, "model");
  // A library named again (an mtllib line before every object is not rare in
  // exported files) is read once: its table comes back as it was read. The
  // same name as the library in force needs not even a look at the file.
  if (model->currentLibrary >= 0 && model->libraries[static_cast<size_t>(model->currentLibrary)].name == name) {
    return ReadStatus::success();
  }
  const std::string path = isAbsolute(name) ? std::string(name) : glmDirectoryOf(model->path.c_str()) + name;
  struct stat info;
  const bool identified = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  if (identified) {
    const int known = knownLibrary(*model, info);
    if (known >= 0) {
      swapInLibrary(model, known);
      return ReadStatus::success();
    }
  }
  try {
    ReadStatus status = readLibrary(model, name, path);
    if (status.ok() && identified) {
      model->libraries.back().device = static_cast<std::uint64_t>(info.st_dev);
      model->libraries.back().inode = static_cast<std::uint64_t>(info.st_ino);
    }
    return status;
  } catch (const std::bad_alloc&) {
    return ReadStatus::failure(ReadError::TOO_LARGE, cantOpenMessage(path), false,
                               reasonLine(path, "not enough memory to read it"));
  }
}

namespace {

ReadStatus readLibrary(ObjModel* model, const char* name, const std::string& path) {
  std::string problem;
  std::unique_ptr<ObjScanner> opened = glmOpenScanner(path.c_str(), &problem);
  if (!opened) {
    return ReadStatus::failure(ReadError::CANT_OPEN_MTL, cantOpenMessage(path), false, reasonLine(path, problem));
  }
  ObjScanner& scanner = *opened;
  char token[GLM_TOKEN_SIZE];
  char line[GLM_LINE_SIZE];

  // ---- Counting pass: one material per 'n' token, plus "default".
  unsigned count = 1;
  while (scanner.readToken(token)) {
    if (token[0] == 'n') ++count;
    scanner.readLine(line, GLM_LINE_SIZE);
  }
  scanner.rewind();

  // The table is checked against the cap before it is allocated, together with
  // the tables of libraries read before.
  std::uint64_t held = static_cast<std::uint64_t>(model->mtls.size()) * sizeof(ObjMaterial);
  for (const ObjMaterialLibrary& library : model->libraries) held += library.mtls.size() * sizeof(ObjMaterial);
  const std::uint64_t needed = static_cast<std::uint64_t>(count) * sizeof(ObjMaterial);
  if (held + needed > MODEL_MAX_MEMORY) {
    return ReadStatus::failure(ReadError::TOO_LARGE, cantOpenMessage(path), false,
                               reasonLine(path, "its " + std::to_string(count) + " materials need more than the " +
                                                    byteSizeText(MODEL_MAX_MEMORY) + " a model may take"));
  }

  // The table in force goes back to its library; this one becomes a library of
  // its own and the model's table.
  model->libraries.emplace_back();
  model->libraries.back().name = name;
  swapInLibrary(model, static_cast<int>(model->libraries.size()) - 1);
  model->mtls.assign(count, ObjMaterial());
  model->nmtls = count;
  model->materialIndex = ObjMaterialIndex();
  model->mtls[0].name = "default";

  // ---- Reading pass. A line with extra tokens after its numbers can show this
  // pass more "newmtl" statements than were counted; such materials are read into
  // a spare record (so the stream stays in step) and dropped, their maps unloaded.
  unsigned current = 0;
  ObjMaterial spare;
  ObjMaterial* material = &model->mtls[0];
  while (scanner.readToken(token)) {
    switch (token[0]) {
      case 'n':
        scanner.readLine(line, GLM_LINE_SIZE);
        ++current;
        if (current < count) {
          material = &model->mtls[current];
        } else {
          spare = ObjMaterial();
          material = &spare;
        }
        material->name = glmFirstWord(line);
        break;
      case 'K':
        if (token[1] == 'd') {
          scanner.readFloats(material->diffuse, 3);
        } else if (token[1] == 'a') {
          scanner.readFloats(material->ambient, 3);
        } else if (token[1] == 's') {
          scanner.readFloats(material->specular, 3);
        } else {
          scanner.readLine(line, GLM_LINE_SIZE);
        }
        break;
      case 'N':
        // Only "Ns"; the value after any other N statement is read as the next
        // token and, beginning with no statement letter, skipped with its line.
        if (token[1] == 's') {
          scanner.readFloats(&material->shininess, 1);
          // From the MTL 0-1000 scale to OpenGL's 0-128, each step stored as a float.
          material->shininess = static_cast<float>(material->shininess / 1000.0);
          material->shininess = static_cast<float>(material->shininess * 128.0);
        }
        break;
      case 'T':
        if (token[1] == 'r') {
          scanner.readFloats(&material->diffuse[3], 1);  // taken as alpha, not inverted
        } else {
          scanner.readLine(line, GLM_LINE_SIZE);
        }
        break;
      case 'd':
        scanner.readFloats(&material->diffuse[3], 1);
        break;
      case 'm': {
        char mapLine[GLM_MAP_LINE_SIZE];
        scanner.readLine(mapLine, GLM_MAP_LINE_SIZE);
        material->mapfile = mapLine;
        if (std::strncmp(token, "map_Kd", 6) == 0) {
          if (material != &spare) {
            unsigned index = 0;
            ReadStatus status = glmAcquireTextureChecked(model, mapLine, &index);
            if (!status.ok()) return status;
            material->texture = static_cast<int>(index);
          }
        } else {
          material->mapfile.clear();
        }
        break;
      }
      default:
        scanner.readLine(line, GLM_LINE_SIZE);
        break;
    }
  }
  return ReadStatus::success();
}

}  // namespace

void glmReadMTL(ObjModel* model, const char* name) {
  ReadStatus status = glmReadMTLChecked(model, name);
  if (!status.ok()) glmFailWith(status);
}

ReadStatus glmAcquireTextureChecked(ObjModel* model, const char* mapText, unsigned* index) {
  GLM_ASSERT(model, "model");
  // The key: the name without its leading blanks, its line end still on it.
  const char* name = mapText;
  while (*name == ' ') ++name;

  if (model->textureIndex.size() != model->tex.size()) {
    model->textureIndex.clear();
    for (unsigned i = 0; i < model->tex.size(); ++i) model->textureIndex.emplace(model->tex[i].name, i);
  }
  auto found = model->textureIndex.find(name);
  if (found != model->textureIndex.end()) {
    *index = found->second;
    return ReadStatus::success();
  }

  // The file name: the line end goes ("\n" and "\r\n"), and so do blanks and
  // tabs around the name, which would otherwise become part of its extension.
  std::string file = name + std::strspn(name, " \t");
  size_t length = file.size();
  if (length >= 1 && static_cast<unsigned char>(file[length - 1]) < 32) file.resize(length - 1);
  if (length >= 2 && static_cast<unsigned char>(file[length - 2]) < 32) file.resize(length - 2);
  while (!file.empty() && (file.back() == ' ' || file.back() == '\t' || file.back() == '\r')) file.pop_back();
  std::string path = isAbsolute(file.c_str()) ? file : glmDirectoryOf(model->path.c_str()) + file;

  MaterialTextureResult loaded = glmTextureHook()(path.c_str(), true, true, true);
  if (!loaded.ok) {
    // Printed as glmLoadTexture prints it: the loader's text, one more line end, the reason.
    std::string message = loaded.error.empty() ? "Error reading texture: " + printableText(path) + " \n" : loaded.error;
    return ReadStatus::failure(ReadError::TEXTURE_UNREADABLE, message + "\n", false, loaded.reason);
  }
  ObjTexture texture;
  texture.name = name;
  texture.id = loaded.id;
  texture.width = loaded.width;
  texture.height = loaded.height;
  model->tex.push_back(std::move(texture));
  model->ntex = static_cast<unsigned>(model->tex.size());
  *index = model->ntex - 1;
  model->textureIndex.emplace(model->tex.back().name, *index);
  return ReadStatus::success();
}

unsigned glmAcquireTexture(ObjModel* model, const char* mapText) {
  unsigned index = 0;
  ReadStatus status = glmAcquireTextureChecked(model, mapText, &index);
  if (!status.ok()) glmFailWith(status);
  return index;
}
