// OBJ reading: statements, face forms, fans, groups, relative indices and the
// limits of token and line reads.
#include <gtest/gtest.h>

#include <time.h>

#include <array>
#include <cmath>

#include "tests/glm/glm_test_support.h"
#include "tests/reference/stdio_scanner.h"

using glmtest::readModel;
using glmtest::TempFolder;

namespace {

const char* FOUR_VERTICES =
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 1 1 0\n"
    "v 0 1 0\n";

// CPU time of the calling thread: what a read costs, however busy the machine.
double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::array<unsigned, 3> vertexIndices(const ObjModel& model, unsigned t) {
  const ObjTriangle& tri = model.tris[t];
  return {tri.vertex[0], tri.vertex[1], tri.vertex[2]};
}

}  // namespace

TEST(ObjReader, PolygonBecomesFanInCurrentGroup) {
  TempFolder folder;
  auto model = readModel(folder.write("fan.obj", std::string(FOUR_VERTICES) + "v 0 2 0\nf 1 2 3 4 5\n"));
  ASSERT_TRUE(model);
  ASSERT_EQ(model->ntris, 3u);
  EXPECT_EQ(vertexIndices(*model, 0), (std::array<unsigned, 3>{1, 2, 3}));
  EXPECT_EQ(vertexIndices(*model, 1), (std::array<unsigned, 3>{1, 3, 4}));
  EXPECT_EQ(vertexIndices(*model, 2), (std::array<unsigned, 3>{1, 4, 5}));
  ASSERT_EQ(model->ngroups, 1u);
  EXPECT_EQ(model->grouplist->tris, (std::vector<unsigned>{0, 1, 2}));
  EXPECT_EQ(glmtest::invariantViolations(*model), "");
}

TEST(ObjReader, EachFaceFormWritesOnlyItsIndexKinds) {
  struct Case {
    const char* face;
    std::array<unsigned, 3> uv;
    std::array<unsigned, 3> normal;
  };
  const Case cases[] = {
      {"f 1/2/3 2/3/1 3/1/2", {2, 3, 1}, {3, 1, 2}},
      {"f 1//3 2//2 3//1", {0, 0, 0}, {3, 2, 1}},
      {"f 1/3 2/2 3/1", {3, 2, 1}, {0, 0, 0}},
      {"f 1 2 3", {0, 0, 0}, {0, 0, 0}},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    std::string text = std::string(FOUR_VERTICES) + "vt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\nvn 0 1 0\nvn 1 0 0\n" + c.face + "\n";
    auto model = readModel(folder.write("form.obj", text));
    ASSERT_TRUE(model);
    ASSERT_EQ(model->ntris, 1u);
    const ObjTriangle& tri = model->tris[0];
    EXPECT_EQ(vertexIndices(*model, 0), (std::array<unsigned, 3>{1, 2, 3}));
    EXPECT_EQ((std::array<unsigned, 3>{tri.uv[0], tri.uv[1], tri.uv[2]}), c.uv);
    EXPECT_EQ((std::array<unsigned, 3>{tri.normal[0], tri.normal[1], tri.normal[2]}), c.normal);
  }
}

TEST(ObjReader, ShortFacesRepeatTheirLastCorner) {
  TempFolder folder;
  auto model = readModel(folder.write("short.obj", std::string(FOUR_VERTICES) + "f 1 2\ng next\nf 3\n"));
  ASSERT_TRUE(model);
  ASSERT_EQ(model->ntris, 2u);
  EXPECT_EQ(vertexIndices(*model, 0), (std::array<unsigned, 3>{1, 2, 2}));
  EXPECT_EQ(vertexIndices(*model, 1), (std::array<unsigned, 3>{3, 3, 3}));
  EXPECT_EQ(glmtest::groupNames(*model), (std::vector<std::string>{" next", "default"}));
}

TEST(ObjReader, GroupsListNewestFirstWithLeadingBlankAndLastCharacterDropped) {
  TempFolder folder;
  std::string text = std::string(FOUR_VERTICES) +
                     "f 1 2 3\n"
                     "g a\n"
                     "f 1 3 4\n"
                     "g body part\n"
                     "f 2 3 4\n"
                     "g a\n"
                     "f 1 2 4\n"
                     "g tail";  // no line end: the name loses its last character
  auto model = readModel(folder.write("groups.obj", text));
  ASSERT_TRUE(model);
  EXPECT_EQ(glmtest::groupNames(*model), (std::vector<std::string>{" tai", " body part", " a", "default"}));
  EXPECT_EQ(model->ngroups, 4u);
  EXPECT_EQ(glmLookupGroup(model.get(), "default")->tris, (std::vector<unsigned>{0}));
  EXPECT_EQ(glmLookupGroup(model.get(), " a")->tris, (std::vector<unsigned>{1, 3}));
  EXPECT_EQ(glmLookupGroup(model.get(), " body part")->tris, (std::vector<unsigned>{2}));
  EXPECT_EQ(glmLookupGroup(model.get(), " tai")->ntris, 0u);
  EXPECT_EQ(glmtest::invariantViolations(*model), "");
}

TEST(ObjReader, CommentOnlyFileGivesEmptyModel) {
  TempFolder folder;
  auto model = readModel(folder.write("comments.obj", "# one\n# two\n   # three\n"));
  ASSERT_TRUE(model);
  EXPECT_EQ(model->nvertices, 0u);
  EXPECT_EQ(model->nnormals, 0u);
  EXPECT_EQ(model->nuvs, 0u);
  EXPECT_EQ(model->ntris, 0u);
  EXPECT_EQ(model->nmtls, 0u);
  EXPECT_EQ(model->vertices.size(), 3u);
  EXPECT_TRUE(model->normals.empty());
  EXPECT_TRUE(model->uvs.empty());
  EXPECT_TRUE(model->mtllibfile.empty());
  EXPECT_EQ(glmtest::groupNames(*model), (std::vector<std::string>{"default"}));
  EXPECT_EQ(model->grouplist->ntris, 0u);
}

TEST(ObjReader, ObjectSmoothingAndLineStatementsAreSkipped) {
  TempFolder folder;
  auto model = readModel(folder.write("skip.obj", "o body\ns 1\n" + std::string(FOUR_VERTICES) +
                                                      "s off\nl 1 2\nf 1 2 3\n"));
  ASSERT_TRUE(model);
  EXPECT_EQ(model->nvertices, 4u);
  EXPECT_EQ(model->ntris, 1u);
  EXPECT_EQ(model->ngroups, 1u);
}

TEST(ObjReader, VertexDataStoredAndExtraNumbersSkipped) {
  TempFolder folder;
  auto model = readModel(folder.write("data.obj", "v 1.5 -2 3e2 1.0\nvn 0 0 1\nvt 0.25 0.75 0\nf 1/1/1 1/1/1 1/1/1\n"));
  ASSERT_TRUE(model);
  EXPECT_EQ(model->nvertices, 1u);
  EXPECT_FLOAT_EQ(model->vertices[3], 1.5f);
  EXPECT_FLOAT_EQ(model->vertices[4], -2.0f);
  EXPECT_FLOAT_EQ(model->vertices[5], 300.0f);
  EXPECT_FLOAT_EQ(model->normals[5], 1.0f);
  EXPECT_FLOAT_EQ(model->uvs[2], 0.25f);
  EXPECT_FLOAT_EQ(model->uvs[3], 0.75f);
}

TEST(ObjReader, CommentLongerThanALineReadContinuesAsTokens) {
  // The rest of a comment line is skipped with one 127-character read; what
  // lies beyond it is read as statements.
  TempFolder folder;
  std::string beyond = "#" + std::string(127, ' ') + "v 1 2 3\n";
  std::string within = "#" + std::string(126, ' ') + "v 1 2 3\n";
  auto model = readModel(folder.write("long.obj", beyond + within));
  ASSERT_TRUE(model);
  EXPECT_EQ(model->nvertices, 1u);
  EXPECT_FLOAT_EQ(model->vertices[3], 1.0f);
}

TEST(ObjReader, LongGroupNameCutAtOneLineRead) {
  TempFolder folder;
  std::string name(200, 'n');
  auto model = readModel(folder.write("longgroup.obj", "g " + name + "\n"));
  ASSERT_TRUE(model);
  // 127 characters are read (the blank and 126 letters) and the last one dropped;
  // the other 74 letters are read as a token of their own and skipped with their line.
  EXPECT_EQ(glmtest::groupNames(*model), (std::vector<std::string>{" " + std::string(125, 'n'), "default"}));
}

TEST(ObjReader, RelativeIndicesCountFromElementsReadBeforeTheFace) {
  TempFolder folder;
  std::string text = std::string(FOUR_VERTICES) +
                     "vt 0 0\nvt 1 0\n"
                     "vn 0 0 1\n"
                     "f -4/-2/-1 -3/-1/-1 -2/-2/-1\n"
                     "v 5 5 5\nv 6 6 6\n"
                     "vn 1 0 0\n"
                     "f -1//-1 -2//-2 -6//-1 -3//-2\n";
  auto model = readModel(folder.write("relative.obj", text));
  ASSERT_TRUE(model);
  ASSERT_EQ(model->ntris, 3u);
  const ObjTriangle& a = model->tris[0];
  EXPECT_EQ(vertexIndices(*model, 0), (std::array<unsigned, 3>{1, 2, 3}));
  EXPECT_EQ((std::array<unsigned, 3>{a.uv[0], a.uv[1], a.uv[2]}), (std::array<unsigned, 3>{1, 2, 1}));
  EXPECT_EQ((std::array<unsigned, 3>{a.normal[0], a.normal[1], a.normal[2]}), (std::array<unsigned, 3>{1, 1, 1}));
  // Six vertices and two normals read by then: -1 is 6, -6 is 1.
  EXPECT_EQ(vertexIndices(*model, 1), (std::array<unsigned, 3>{6, 5, 1}));
  EXPECT_EQ(vertexIndices(*model, 2), (std::array<unsigned, 3>{6, 1, 4}));
  const ObjTriangle& b = model->tris[1];
  EXPECT_EQ((std::array<unsigned, 3>{b.normal[0], b.normal[1], b.normal[2]}), (std::array<unsigned, 3>{2, 1, 2}));
  EXPECT_EQ(glmtest::invariantViolations(*model), "");
}

TEST(ObjReader, ForwardIndicesWithinTheFileAreAccepted) {
  TempFolder folder;
  auto model = readModel(folder.write("forward.obj", "f 1 2 3\n" + std::string(FOUR_VERTICES)));
  ASSERT_TRUE(model);
  EXPECT_EQ(vertexIndices(*model, 0), (std::array<unsigned, 3>{1, 2, 3}));
}

TEST(ObjReader, NonFiniteNumbersAreStoredWithoutHarm) {
  TempFolder folder;
  auto model = readModel(folder.write("nan.obj", "v nan -nan inf\nv -inf 1e39 1\nv 0 0 0\nf 1 2 3\n"));
  ASSERT_TRUE(model);
  EXPECT_TRUE(std::isnan(model->vertices[3]));
  EXPECT_TRUE(std::isinf(model->vertices[5]));
  EXPECT_TRUE(std::isinf(model->vertices[7]));  // out of float range
  EXPECT_EQ(model->ntris, 1u);
}

TEST(ObjReader, PassesThatDisagreeNeverWritePastTheArrays) {
  // The counting pass skips the rest of a "v" line; the storing pass reads the
  // numbers and then meets the statements behind them.
  TempFolder folder;
  auto model = readModel(folder.write("disagree.obj",
                                      "v 1 2 3 v 4 5 6\n"
                                      "v 7 8 9 f 1 2 2\n"
                                      "v 0 0 1 g ghost\n"
                                      "f 1 2 3\n"));
  ASSERT_TRUE(model);
  EXPECT_EQ(model->nvertices, 3u);
  EXPECT_FLOAT_EQ(model->vertices[3], 1.0f);
  EXPECT_FLOAT_EQ(model->vertices[6], 4.0f);  // the extra vertex took the second slot
  EXPECT_EQ(model->ntris, 1u);
  EXPECT_EQ(glmtest::groupNames(*model), (std::vector<std::string>{"default"}));
  EXPECT_EQ(glmtest::invariantViolations(*model), "");
}

TEST(ObjReader, UsemtlAndGroupsCarryTheCurrentMaterial) {
  TempFolder folder;
  folder.write("m.mtl", "newmtl red\nKd 1 0 0\nnewmtl blue\nKd 0 0 1\n");
  std::string text = "mtllib m.mtl\n" + std::string(FOUR_VERTICES) +
                     "usemtl blue\n"
                     "f 1 2 3\n"
                     "g a\n"  // takes blue, the current material
                     "f 1 3 4\n"
                     "usemtl red\n"
                     "f 1 2 4\n"
                     "g b\n"
                     "usemtl nothing\n";
  testing::internal::CaptureStdout();
  auto model = readModel(folder.write("mat.obj", text));
  std::string out = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(model);
  EXPECT_EQ(out, "glmFindMaterial():  can't find material \"nothing\".\n");
  EXPECT_EQ(model->mtllibfile, "m.mtl");
  EXPECT_EQ(model->nmtls, 3u);
  EXPECT_EQ(glmLookupGroup(model.get(), "default")->material, 2u);
  EXPECT_EQ(glmLookupGroup(model.get(), " a")->material, 1u);  // last assignment wins
  EXPECT_EQ(glmLookupGroup(model.get(), " b")->material, 0u);
}

TEST(ObjReader, SecondMtllibReplacesTheMaterialTable) {
  TempFolder folder;
  glmtest::TextureRecorder recorder;
  folder.write("one.mtl", "newmtl a\nmap_Kd wheel.tga\nnewmtl b\n");
  folder.write("two.mtl", "newmtl c\nmap_Kd wheel.tga\n");
  testing::internal::CaptureStderr();
  auto model = readModel(folder.write("two.obj", "mtllib one.mtl\nmtllib two.mtl\n"));
  // The replaced library is not dropped without a word.
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "glmReadOBJ() warning: material library \"one.mtl\" ignored: a later mtllib names \"two.mtl\", and a "
            "model uses one library (merge them to use both).\n");
  ASSERT_TRUE(model);
  EXPECT_EQ(model->mtllibfile, "two.mtl");
  ASSERT_EQ(model->nmtls, 2u);
  EXPECT_EQ(model->mtls[0].name, "default");
  EXPECT_EQ(model->mtls[1].name, "c");
  // The texture table outlives the first library and shares the map by name.
  EXPECT_EQ(model->ntex, 1u);
  EXPECT_EQ(model->mtls[1].texture, 0);
  EXPECT_EQ(recorder.requests().size(), 1u);
}

TEST(ObjReader, EachLibraryIgnoredIsNamedOnceAndTheLastNamedIsUsed) {
  TempFolder folder;
  folder.write("a.mtl", "newmtl x y\n");
  folder.write("b.mtl", "newmtl bee\n");
  struct Case {
    const char* text;
    const char* used;
    const char* ignored;  // the library each warning line names, in order
  };
  const Case cases[] = {
      {"mtllib a.mtl b.mtl\nusemtl x z\n", "x", "b.mtl"},  // the first word is taken
      {"mtllib b.mtl\nmtllib a.mtl\nmtllib ./b.mtl\nmtllib a.mtl\nusemtl x\n", "x", "b.mtl"},
      {"mtllib a.mtl\nmtllib ./a.mtl\nmtllib a.mtl\nusemtl x\n", "x", ""},  // one library, however named
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ObjReadNotes notes;
    std::unique_ptr<ObjModel> model;
    ASSERT_TRUE(glmReadOBJChecked(folder.write("words.obj", c.text).c_str(), &model, &notes).ok());
    EXPECT_EQ(model->mtls[1].name, c.used);
    EXPECT_EQ(model->grouplist->material, 1u);
    ASSERT_EQ(notes.warnings.size(), c.ignored[0] != '\0' ? 1u : 0u);
    if (!notes.warnings.empty()) {
      EXPECT_EQ(notes.warnings[0].rfind("glmReadOBJ() warning: material library \"" + std::string(c.ignored) + "\" ignored", 0), 0u);
    }
  }
}

TEST(ObjReader, ManyUsemtlAndMtllibLinesReadInLinearTime) {
  // A library of K materials, 20,000 mtllib lines naming it and 100,000
  // usemtl lines: with a search per usemtl or a read per mtllib the work grows
  // with K times the lines. Eight times K may cost at most four times as much
  // (once per line and once per material: much less), measured in this
  // thread's CPU time, the best of five: a ratio within one run, whatever the
  // machine and its load.
  TempFolder folder;
  double best[2] = {0, 0};
  const int sizes[2] = {2500, 20000};
  for (int size = 0; size < 2; ++size) {
    const int materials = sizes[size];
    std::string library, text = std::string(FOUR_VERTICES);
    for (int m = 0; m < materials; ++m) library += "newmtl m" + std::to_string(m) + "\nKd 1 0 0\n";
    folder.write("many.mtl", library);
    for (int i = 0; i < 20000; ++i) text += "mtllib many.mtl\n";
    for (int i = 0; i < 100000; ++i) text += "usemtl m" + std::to_string(i * 7919 % materials) + "\nf 1 2 3\n";
    const std::string path = folder.write("many.obj", text);
    for (int run = 0; run < 5; ++run) {
      const double start = threadCpuSeconds();
      auto model = readModel(path);
      const double seconds = threadCpuSeconds() - start;
      if (run == 0 || seconds < best[size]) best[size] = seconds;
      ASSERT_TRUE(model);
      EXPECT_EQ(model->ntris, 100000u);
      EXPECT_EQ(model->mtls[model->grouplist->material].name, "m" + std::to_string(99999 * 7919 % materials));
    }
  }
  EXPECT_LT(best[1], 4 * best[0]) << "K = " << sizes[0] << ": " << best[0] << " s, K = " << sizes[1] << ": "
                                  << best[1] << " s of CPU time";
}

TEST(ObjReader, ByteOrderMarkIsNotAStatementInObjOrMtl) {
  TempFolder folder;
  folder.write("bom.mtl", "\xEF\xBB\xBFnewmtl red\nKd 1 0 0\n");
  const std::string path = folder.write("bom.obj", "\xEF\xBB\xBFv 0 0 0\nv 1 0 0\nv 0 1 0\nmtllib bom.mtl\nusemtl red\nf 1 2 3\n");
  for (ScannerKind kind : {ScannerKind::BUFFER, ScannerKind::STDIO}) {
    const ScannerKind previous = glmSetScannerKind(kind);
    auto model = readModel(path);
    glmSetScannerKind(previous);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->nvertices, 3u);
    EXPECT_EQ(model->ntris, 1u);
    ASSERT_EQ(model->nmtls, 2u);
    EXPECT_EQ(model->mtls[1].name, "red");
    EXPECT_EQ(model->grouplist->material, 1u);
  }
}

TEST(ObjReader, NotesWhatIsLegalButProbablyNotMeant) {
  TempFolder folder;
  folder.write("m.mtl", "newmtl red\nnewmtl blue\n");
  ObjReadNotes notes;
  std::unique_ptr<ObjModel> model;
  const std::string text = "mtllib m.mtl\n" + std::string(FOUR_VERTICES) +
                           "usemtl red\nf 1 2 3\nusemtl blue\nf 1 2\ng a\nusemtl red\nf 1 3 4\n"
                           "g default_b\nf 3\ng a\nusemtl red\n";
  ASSERT_TRUE(glmReadOBJChecked(folder.write("notes.obj", text).c_str(), &model, &notes).ok());
  EXPECT_EQ(notes.shortFaces, 2u);
  // "default" got blue after its red triangle; " a" kept red (set again to red changes nothing).
  ASSERT_EQ(notes.materialSwitches.size(), 1u);
  EXPECT_EQ(notes.materialSwitches[0], (std::pair<std::string, unsigned>("default", 1)));
  EXPECT_TRUE(notes.warnings.empty());
}

TEST(ObjReader, NamesAreTheWordsPercentSReads) {
  const std::string cases[] = {"", " \t\n", " a.mtl  b.mtl\n", "\ta\vb\fc\r\n", std::string(130, 'x') + " y",
                               "\xff\xfe z\x01", "one"};
  for (const std::string& text : cases) {
    std::vector<std::string> expected;
    char word[GLM_LINE_SIZE];
    int used = 0;
    for (const char* at = text.c_str(); std::sscanf(at, "%127s%n", word, &used) == 1; at += used) expected.push_back(word);
    EXPECT_EQ(glmWordsOf(text.c_str()), expected) << text;
    EXPECT_EQ(glmFirstWord(text.c_str()), expected.empty() ? "" : expected[0]) << text;
  }
}
