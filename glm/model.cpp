// Model records: group and material lookups and the directory of a model's path.
#include "glm/model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "glm/check.h"
#include "support/printable_text.h"

ObjGroup* glmLookupGroup(ObjModel* model, const char* name) {
  GLM_ASSERT(model, "model");
  // Group names are unique (glmObtainGroup creates only missing ones), so the
  // index finds the same group as a search of grouplist from its head.
  auto found = model->groupIndex.find(name);
  return found == model->groupIndex.end() ? nullptr : found->second;
}

ObjGroup* glmObtainGroup(ObjModel* model, const char* name) {
  ObjGroup* group = glmLookupGroup(model, name);
  if (group != nullptr) return group;
  model->groupStorage.emplace_back();
  group = &model->groupStorage.back();
  group->name = name;
  group->next = model->grouplist;
  model->grouplist = group;
  model->groupIndex.emplace(group->name, group);
  ++model->ngroups;
  return group;
}

unsigned glmFindMaterial(ObjModel* model, const char* name) {
  GLM_ASSERT(model, "model");
  ObjMaterialIndex& index = model->materialIndex;
  const size_t count = std::min<size_t>(model->nmtls, model->mtls.size());
  if (index.table != model->mtls.data() || index.size != count) {
    index.first.clear();
    // emplace keeps the first of duplicate names, as a search from index 0 finds it.
    for (unsigned i = 0; i < count; ++i) index.first.emplace(model->mtls[i].name, i);
    index.table = model->mtls.data();
    index.size = count;
  }
  auto found = index.first.find(name);
  if (found != index.first.end()) return found->second;
  std::printf("glmFindMaterial():  can't find material \"%s\".\n", printableText(name).c_str());
  return 0;
}

std::string glmDirectoryOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return std::string();
  return std::string(path, static_cast<size_t>(slash - path) + 1);
}

void glmDelete(ObjModel* model) { delete model; }
