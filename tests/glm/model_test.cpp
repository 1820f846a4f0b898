// Model records: group lookup and creation, material lookup, directory of a path.
#include <gtest/gtest.h>

#include "tests/glm/glm_test_support.h"

TEST(ModelLookups, DirectoryOfKeepsEverythingUpToTheLastSlash) {
  struct Case {
    const char* path;
    const char* directory;
  };
  const Case cases[] = {
      {"data/models/grass/trava.obj", "data/models/grass/"},
      {"model.obj", ""},
      {"data\\models\\kart.obj", ""},
      {"/abs.obj", "/"},
      {"dir/", "dir/"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(glmDirectoryOf(c.path), c.directory) << c.path;
}

TEST(ModelLookups, ObtainGroupCreatesOnceAndPutsNewGroupsFirst) {
  ObjModel model;
  ObjGroup* a = glmObtainGroup(&model, "a");
  ObjGroup* b = glmObtainGroup(&model, "b");
  EXPECT_EQ(glmObtainGroup(&model, "a"), a);
  EXPECT_EQ(model.ngroups, 2u);
  EXPECT_EQ(model.grouplist, b);
  EXPECT_EQ(b->next, a);
  EXPECT_EQ(a->next, nullptr);
  EXPECT_EQ(a->ntris, 0u);
  EXPECT_EQ(a->material, 0u);
  EXPECT_EQ(glmLookupGroup(&model, "b"), b);
  EXPECT_EQ(glmLookupGroup(&model, "B"), nullptr);  // case-sensitive
  EXPECT_EQ(glmLookupGroup(&model, "a "), nullptr);  // exact
}

TEST(ModelLookups, FindMaterialTakesLowerIndexAndReportsMissingNames) {
  glmtest::TempFolder folder;
  folder.write("dup.mtl", "newmtl red\nKd 1 0 0\nnewmtl green\nnewmtl red\nKd 0.5 0 0\n");
  auto model = glmtest::readModel(folder.write("dup.obj", "mtllib dup.mtl\n"));
  ASSERT_TRUE(model);
  ASSERT_EQ(model->nmtls, 4u);
  testing::internal::CaptureStdout();
  EXPECT_EQ(glmFindMaterial(model.get(), "red"), 1u);
  EXPECT_EQ(glmFindMaterial(model.get(), "green"), 2u);
  EXPECT_EQ(glmFindMaterial(model.get(), "default"), 0u);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  testing::internal::CaptureStdout();
  EXPECT_EQ(glmFindMaterial(model.get(), "Red"), 0u);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "glmFindMaterial():  can't find material \"Red\".\n");
}
