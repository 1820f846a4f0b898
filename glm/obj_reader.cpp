// OBJ reading in two passes over the same scanner. All index checking happens
// here, where the indices are read, so later stages can trust every index.
#include "glm/obj_reader.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_map>
#include <unordered_set>

#include "glm/check.h"
#include "glm/model_limits.h"
#include "glm/mtl_reader.h"
#include "glm/scanner_choice.h"
#include "glm/texture_hook.h"
#include "support/printable_text.h"

namespace {

std::string quotedName(const std::string& name) { return "\"" + printableText(name) + "\""; }

// The message every refusal of the model file as a whole begins with.
std::string cantOpenMessage(const char* path) {
  return "glmReadOBJ() failed: can't open data file \"" + printableText(path) + "\".\n";
}

// Material libraries named but not used: each further name on an mtllib line,
// and each library that a later mtllib replaced. One line per library.
// Further names on mtllib lines, each kept once and only so many: they are for a
// person to read, and a file could name millions.
class ExtraLibraryNames {
 public:
  void add(const std::string& name) {
    if (seen_.count(name) != 0) return;
    if (names_.size() == KEPT) {
      ++dropped_;
      return;
    }
    seen_.insert(name);
    names_.push_back(name);
  }
  const std::vector<std::string>& names() const { return names_; }
  unsigned long dropped() const { return dropped_; }

 private:
  static constexpr size_t KEPT = 100;
  std::vector<std::string> names_;
  std::unordered_set<std::string> seen_;
  unsigned long dropped_ = 0;
};

void noteIgnoredLibraries(const ObjModel& model, const ExtraLibraryNames& extra, ObjReadNotes* notes) {
  if (model.currentLibrary < 0) return;
  const std::string& used = model.libraries[static_cast<size_t>(model.currentLibrary)].name;
  std::unordered_set<std::string> told = {used};
  for (size_t i = 0; i < model.libraries.size(); ++i) {
    const std::string& name = model.libraries[i].name;
    if (static_cast<int>(i) == model.currentLibrary || !told.insert(name).second) continue;
    notes->warnings.push_back("glmReadOBJ() warning: material library " + quotedName(name) +
                              " ignored: a later mtllib names " + quotedName(used) +
                              ", and a model uses one library (merge them to use both).\n");
  }
  for (const std::string& name : extra.names()) {
    if (!told.insert(name).second) continue;
    notes->warnings.push_back("glmReadOBJ() warning: material library " + quotedName(name) +
                              " ignored: its mtllib line names another library first, and a model uses one "
                              "library (merge them to use both).\n");
  }
  if (extra.dropped() != 0) {
    notes->warnings.push_back("glmReadOBJ() warning: " + std::to_string(extra.dropped()) +
                              " more material libraries named on mtllib lines ignored.\n");
  }
}

// Bytes of the arrays the fill pass allocates for these counts.
std::uint64_t arrayBytes(std::uint64_t vertices, std::uint64_t normals, std::uint64_t uvs, std::uint64_t triangles) {
  return (vertices + 1) * 3 * sizeof(float) + (normals != 0 ? (normals + 1) * 3 * sizeof(float) : 0) +
         (uvs != 0 ? (uvs + 1) * 2 * sizeof(float) : 0) + triangles * (sizeof(ObjTriangle) + sizeof(unsigned));
}

// What one group costs besides its triangle indices: the record, its name and its index entry.
std::uint64_t groupBytes(const ObjGroup& group) { return sizeof(ObjGroup) + group.name.size() + 64; }

// A group name is its whole rest of line less the last character (normally the line end).
void dropLastCharacter(char* text) {
  size_t length = std::strlen(text);
  if (length > 0) text[length - 1] = '\0';
}

bool formHasTexture(FaceForm form) {
  return form == FaceForm::VERTEX_TEXTURE_NORMAL || form == FaceForm::VERTEX_TEXTURE;
}

bool formHasNormal(FaceForm form) {
  return form == FaceForm::VERTEX_TEXTURE_NORMAL || form == FaceForm::VERTEX_NORMAL;
}

// One face corner as read from the file: the raw numbers, kept across failed
// reads (a read that assigns nothing leaves the previous corner's values).
struct RawCorner {
  long vertex = 0;
  long texture = 0;
  long normal = 0;
};

struct Corner {
  unsigned vertex = 0;
  unsigned texture = 0;
  unsigned normal = 0;
};

// What the fill pass has read so far, the base of relative indices.
struct ElementsSeen {
  unsigned long vertices = 0;
  unsigned long normals = 0;
  unsigned long uvs = 0;
};

class FaceResolver {
 public:
  FaceResolver(const ObjModel& model, const ElementsSeen& seen, FaceForm form, ObjScanner& scanner)
      : model_(model), seen_(seen), form_(form), scanner_(scanner) {}

  // True when every index the form carries names an element; otherwise false,
  // with the message in failure(). Successes build no status: this runs for
  // every corner of every face.
  bool resolve(const RawCorner& raw, Corner* corner) {
    return resolveOne(raw.vertex, seen_.vertices, model_.nvertices, "vertex", &corner->vertex) &&
           (!formHasTexture(form_) ||
            resolveOne(raw.texture, seen_.uvs, model_.nuvs, "texture coordinate", &corner->texture)) &&
           (!formHasNormal(form_) || resolveOne(raw.normal, seen_.normals, model_.nnormals, "normal", &corner->normal));
  }

  const ReadStatus& failure() const { return failure_; }

 private:
  bool resolveOne(long raw, unsigned long seen, unsigned count, const char* kind, unsigned* out) {
    // -1 is the last element of its kind read before this face.
    long long index = raw < 0 ? static_cast<long long>(seen) + 1 + raw : raw;
    if (index >= 1 && index <= static_cast<long long>(count)) {
      *out = static_cast<unsigned>(index);
      return true;
    }
    char text[128];
    std::snprintf(text, sizeof text, "bad %s index %ld in \"", kind, raw);
    char where[64];
    std::snprintf(where, sizeof where, "\" at line %ld.\n", scanner_.currentLine());
    failure_ = ReadStatus::failure(ReadError::BAD_INDEX,
                                   std::string("glmReadOBJ() failed: ") + text + printableText(model_.path) + where);
    return false;
  }

  const ObjModel& model_;
  const ElementsSeen& seen_;
  FaceForm form_;
  ObjScanner& scanner_;
  ReadStatus failure_;
};

// Stores triangles while bounding every write by what the counting pass sized:
// a triangle that the counting pass did not see (the passes can disagree on
// lines with extra tokens) is dropped, never written past an array.
class TriangleSink {
 public:
  explicit TriangleSink(ObjModel* model) : model_(model) {}

  void store(ObjGroup* group, FaceForm form, const Corner& a, const Corner& b, const Corner& c) {
    if (next_ >= model_->tris.size() || group->ntris >= group->tris.size()) return;
    ObjTriangle& triangle = model_->tris[next_];
    triangle.facet = static_cast<unsigned>(-1);  // no facet normal until they are computed
    const Corner* corners[3] = {&a, &b, &c};
    for (int k = 0; k < 3; ++k) {
      triangle.vertex[k] = corners[k]->vertex;
      if (formHasTexture(form)) triangle.uv[k] = corners[k]->texture;
      if (formHasNormal(form)) triangle.normal[k] = corners[k]->normal;
    }
    group->tris[group->ntris++] = next_;
    ++next_;
  }

  unsigned stored() const { return next_; }

 private:
  ObjModel* model_;
  unsigned next_ = 0;
};

}  // namespace

ReadStatus glmFirstPass(ObjModel* model, ObjScanner& scanner, ObjReadNotes* notes) {
  GLM_ASSERT(model, "model");
  ObjGroup* group = glmObtainGroup(model, "default");
  unsigned nvertices = 0, nnormals = 0, nuvs = 0, ntris = 0;
  std::uint64_t groupsBytes = groupBytes(*group);
  ExtraLibraryNames extraLibraries;
  char token[GLM_TOKEN_SIZE];
  char line[GLM_LINE_SIZE];

  while (scanner.readToken(token)) {
    switch (token[0]) {
      case 'v':
        switch (token[1]) {
          case '\0':
            ++nvertices;
            break;
          case 'n':
            ++nnormals;
            break;
          case 't':
            ++nuvs;
            break;
          default:
            return ReadStatus::failure(ReadError::UNKNOWN_TOKEN,
                                       "glmFirstPass(): Unknown token \"" + printableText(token) + "\".\n", true);
        }
        scanner.readLine(line, GLM_LINE_SIZE);
        break;
      case 'm': {
        scanner.readLine(line, GLM_LINE_SIZE);
        // An mtllib without a name names nothing to read; one with several
        // names is read for the first (a model has one library).
        std::vector<std::string> names = glmWordsOf(line);
        if (!names.empty()) {
          model->mtllibfile = names[0];
          ReadStatus status = glmReadMTLChecked(model, names[0].c_str());
          if (!status.ok()) return status;
          for (size_t i = 1; i < names.size(); ++i) extraLibraries.add(names[i]);
        }
        break;
      }
      case 'g': {
        scanner.readLine(line, GLM_LINE_SIZE);
        dropLastCharacter(line);
        const unsigned before = model->ngroups;
        group = glmObtainGroup(model, line);
        if (model->ngroups != before) {
          // Short lines can name many groups: their records count against the memory cap as they come.
          groupsBytes += groupBytes(*group);
          if (groupsBytes > MODEL_MAX_MEMORY) {
            return ReadStatus::failure(ReadError::TOO_LARGE, cantOpenMessage(model->path.c_str()), false,
                                       reasonLine(model->path, "its groups need more than the " +
                                                                   byteSizeText(MODEL_MAX_MEMORY) +
                                                                   " a model may take"));
          }
        }
        break;
      }
      case 'f': {
        scanner.readToken(token);
        FaceForm form = scanner.faceFormOf(token);
        RawCorner raw;
        scanner.readCorner(form, &raw.vertex, &raw.texture, &raw.normal);
        scanner.readCorner(form, &raw.vertex, &raw.texture, &raw.normal);
        ++ntris;
        ++group->ntris;
        while (scanner.readCorner(form, &raw.vertex, &raw.texture, &raw.normal) > 0) {
          ++ntris;
          ++group->ntris;
        }
        break;
      }
      default:  // '#', "usemtl", "o", "s", "l", leftovers
        scanner.readLine(line, GLM_LINE_SIZE);
        break;
    }
  }

  // Checked before anything is allocated: a two-byte corner is a 44-byte triangle.
  const std::uint64_t needed = arrayBytes(nvertices, nnormals, nuvs, ntris) + groupsBytes;
  if (needed > MODEL_MAX_MEMORY) {
    return ReadStatus::failure(
        ReadError::TOO_LARGE, cantOpenMessage(model->path.c_str()), false,
        reasonLine(model->path, "its " + std::to_string(nvertices) + " vertices and " + std::to_string(ntris) +
                                    " triangles need " + byteSizeText(needed) + ", more than the " +
                                    byteSizeText(MODEL_MAX_MEMORY) + " a model may take"));
  }

  model->nvertices = nvertices;
  model->nnormals = nnormals;
  model->nuvs = nuvs;
  model->ntris = ntris;
  for (ObjGroup* g = model->grouplist; g != nullptr; g = g->next) {
    g->tris.assign(g->ntris, 0);
    g->ntris = 0;
  }
  if (notes != nullptr) noteIgnoredLibraries(*model, extraLibraries, notes);
  return ReadStatus::success();
}

ReadStatus glmFillPass(ObjModel* model, ObjScanner& scanner, ObjReadNotes* notes) {
  GLM_ASSERT(model, "model");
  ObjGroup* group = glmLookupGroup(model, "default");
  GLM_ASSERT(group, "the counting pass's group \"default\"");
  unsigned material = 0;
  // A group's material is one for all its triangles: giving it another after it
  // has some recolours those too, which is noted for the tools.
  std::unordered_map<const ObjGroup*, size_t> switchedAt;
  auto setMaterial = [&](ObjGroup* g) {
    if (notes != nullptr && g->ntris != 0 && g->material != material) {
      auto [entry, added] = switchedAt.emplace(g, notes->materialSwitches.size());
      if (added) notes->materialSwitches.emplace_back(g->name, 0);
      ++notes->materialSwitches[entry->second].second;
    }
    g->material = material;
  };
  ElementsSeen seen;
  TriangleSink sink(model);
  float spare[3];
  char token[GLM_TOKEN_SIZE];
  char line[GLM_LINE_SIZE];

  while (scanner.readToken(token)) {
    switch (token[0]) {
      case 'v':
        // An element beyond the counted ones (passes disagreeing) is read and dropped.
        if (token[1] == '\0') {
          ++seen.vertices;
          scanner.readFloats(seen.vertices <= model->nvertices ? &model->vertices[3 * seen.vertices] : spare, 3);
        } else if (token[1] == 'n') {
          ++seen.normals;
          scanner.readFloats(seen.normals <= model->nnormals ? &model->normals[3 * seen.normals] : spare, 3);
        } else if (token[1] == 't') {
          ++seen.uvs;
          scanner.readFloats(seen.uvs <= model->nuvs ? &model->uvs[2 * seen.uvs] : spare, 2);
        } else {
          scanner.readLine(line, GLM_LINE_SIZE);
        }
        break;
      case 'u':
        scanner.readLine(line, GLM_LINE_SIZE);
        material = glmFindMaterial(model, glmFirstWord(line).c_str());
        setMaterial(group);
        break;
      case 'g': {
        scanner.readLine(line, GLM_LINE_SIZE);
        dropLastCharacter(line);
        // A group the counting pass never saw keeps the faces in the current group.
        ObjGroup* found = glmLookupGroup(model, line);
        if (found != nullptr) {
          group = found;
          setMaterial(group);
        }
        break;
      }
      case 'f': {
        scanner.readToken(token);
        RawCorner raw;
        FaceForm form = scanner.parseFirstCorner(token, &raw.vertex, &raw.texture, &raw.normal);
        FaceResolver resolver(*model, seen, form, scanner);
        Corner first, previous, latest;
        if (!resolver.resolve(raw, &first)) return resolver.failure();
        const int second = scanner.readCorner(form, &raw.vertex, &raw.texture, &raw.normal);
        if (!resolver.resolve(raw, &previous)) return resolver.failure();
        const int third = scanner.readCorner(form, &raw.vertex, &raw.texture, &raw.normal);
        if (!resolver.resolve(raw, &latest)) return resolver.failure();
        if (notes != nullptr && (second <= 0 || third <= 0)) ++notes->shortFaces;
        sink.store(group, form, first, previous, latest);
        // Fan: each further corner makes a triangle with the first and the last corner.
        while (scanner.readCorner(form, &raw.vertex, &raw.texture, &raw.normal) > 0) {
          previous = latest;
          if (!resolver.resolve(raw, &latest)) return resolver.failure();
          sink.store(group, form, first, previous, latest);
        }
        break;
      }
      default:  // '#', "mtllib", "o", "s", "l", leftovers
        scanner.readLine(line, GLM_LINE_SIZE);
        break;
    }
  }

  // Fewer triangles than counted (passes disagreeing) shrink the counts to what was stored.
  model->ntris = sink.stored();
  model->tris.resize(model->ntris);
  for (ObjGroup* g = model->grouplist; g != nullptr; g = g->next) g->tris.resize(g->ntris);
  return ReadStatus::success();
}

namespace {

ReadStatus readObj(const char* path, std::unique_ptr<ObjModel>* out, ObjReadNotes* notes) {
  std::string problem;
  std::unique_ptr<ObjScanner> scanner = glmOpenScanner(path, &problem);
  if (!scanner) return ReadStatus::failure(ReadError::CANT_OPEN_OBJ, cantOpenMessage(path), false, reasonLine(path, problem));
  auto model = std::make_unique<ObjModel>();
  model->path = path;
  TextureRegistryScope registry;

  ReadStatus status = glmFirstPass(model.get(), *scanner, notes);
  if (!status.ok()) return status;
  // The tables of libraries named but not in force are not needed any more.
  for (size_t i = 0; i < model->libraries.size(); ++i) {
    if (static_cast<int>(i) != model->currentLibrary) model->libraries[i] = ObjMaterialLibrary();
  }

  model->vertices.assign(3 * (static_cast<size_t>(model->nvertices) + 1), 0.0f);
  model->tris.assign(model->ntris, ObjTriangle());
  if (model->nnormals != 0) model->normals.assign(3 * (static_cast<size_t>(model->nnormals) + 1), 0.0f);
  if (model->nuvs != 0) model->uvs.assign(2 * (static_cast<size_t>(model->nuvs) + 1), 0.0f);

  scanner->rewind();
  status = glmFillPass(model.get(), *scanner, notes);
  if (!status.ok()) return status;
  model->libraries.clear();
  model->currentLibrary = -1;
  *out = std::move(model);
  return ReadStatus::success();
}

}  // namespace

ReadStatus glmReadOBJChecked(const char* path, std::unique_ptr<ObjModel>* out, ObjReadNotes* notes) {
  out->reset();
  ObjReadNotes ownNotes;
  ReadStatus status;
  try {
    status = readObj(path, out, notes != nullptr ? notes : &ownNotes);
  } catch (const std::bad_alloc&) {
    // Within the caps, but more than this machine can give right now.
    out->reset();
    status = ReadStatus::failure(ReadError::TOO_LARGE, cantOpenMessage(path), false,
                                 reasonLine(path, "not enough memory to read it"));
  }
  if (status.ok() && notes == nullptr) {
    for (const std::string& warning : ownNotes.warnings) std::fputs(warning.c_str(), stderr);
  }
  return status;
}

ObjModel* glmReadOBJ(const char* path) {
  std::unique_ptr<ObjModel> model;
  ReadStatus status = glmReadOBJChecked(path, &model);
  if (!status.ok()) glmFailWith(status);
  return model.release();
}
