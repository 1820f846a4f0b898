// Model records: group and material lookups and the directory of a model's path.
#include "glm/model.h"

#include <cstdio>
#include <cstring>

#include "glm/check.h"

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
  for (unsigned i = 0; i < model->nmtls && i < model->mtls.size(); ++i) {
    if (model->mtls[i].name == name) return i;
  }
  std::printf("glmFindMaterial():  can't find material \"%s\".\n", name);
  return 0;
}

std::string glmDirectoryOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return std::string();
  return std::string(path, static_cast<size_t>(slash - path) + 1);
}

void glmDelete(ObjModel* model) { delete model; }
