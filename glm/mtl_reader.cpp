// MTL reading: a counting pass for the table size, then a reading pass that
// fills the materials and loads their diffuse maps.
#include "glm/mtl_reader.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "glm/check.h"
#include "glm/scanner_choice.h"
#include "glm/texture_hook.h"

namespace {

// The first blank-separated word of a rest-of-line text; empty when there is none.
std::string firstWord(const char* text) {
  char word[GLM_LINE_SIZE];
  if (std::sscanf(text, "%127s", word) != 1) return std::string();
  return word;
}

}  // namespace

ReadStatus glmReadMTLChecked(ObjModel* model, const char* name) {
  GLM_ASSERT(model, "model");
  std::string path = glmDirectoryOf(model->path.c_str()) + name;
  std::unique_ptr<ObjScanner> opened = glmOpenScanner(path.c_str());
  if (!opened) {
    return ReadStatus::failure(ReadError::CANT_OPEN_MTL,
                               "glmReadMTL() failed: can't open material file \"" + path + "\".\n");
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

  model->mtls.assign(count, ObjMaterial());
  model->nmtls = count;
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
        material->name = firstWord(line);
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

void glmReadMTL(ObjModel* model, const char* name) {
  ReadStatus status = glmReadMTLChecked(model, name);
  if (!status.ok()) glmFailWith(status);
}

ReadStatus glmAcquireTextureChecked(ObjModel* model, const char* mapText, unsigned* index) {
  GLM_ASSERT(model, "model");
  const char* name = mapText;
  while (*name == ' ') ++name;  // only blanks: a tab stays part of the name

  for (unsigned i = 0; i < model->tex.size(); ++i) {
    if (model->tex[i].name == name) {
      *index = i;
      return ReadStatus::success();
    }
  }

  // A drive-qualified name (C:\...) is absolute; anything else is relative to the model.
  std::string path = std::strstr(mapText, ":\\") != nullptr ? std::string(name)
                                                            : glmDirectoryOf(model->path.c_str()) + name;
  // The name still carries its line end; "\n" and "\r\n" both go.
  size_t length = path.size();
  if (length >= 1 && static_cast<unsigned char>(path[length - 1]) < 32) path.resize(length - 1);
  if (length >= 2 && static_cast<unsigned char>(path[length - 2]) < 32) path.resize(length - 2);

  MaterialTextureResult loaded = glmTextureHook()(path.c_str(), true, true, true);
  if (!loaded.ok) {
    // Printed as glmLoadTexture prints it: the loader's text and one more line end.
    std::string message = loaded.error.empty() ? "Error reading texture: " + path + " \n" : loaded.error;
    return ReadStatus::failure(ReadError::TEXTURE_UNREADABLE, message + "\n");
  }
  ObjTexture texture;
  texture.name = name;
  texture.id = loaded.id;
  texture.width = loaded.width;
  texture.height = loaded.height;
  model->tex.push_back(std::move(texture));
  model->ntex = static_cast<unsigned>(model->tex.size());
  *index = model->ntex - 1;
  return ReadStatus::success();
}

unsigned glmAcquireTexture(ObjModel* model, const char* mapText) {
  unsigned index = 0;
  ReadStatus status = glmAcquireTextureChecked(model, mapText, &index);
  if (!status.ok()) glmFailWith(status);
  return index;
}
