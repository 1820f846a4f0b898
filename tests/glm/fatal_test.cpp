// Every way a model can be refused: the status of the checked API in-process,
// and the message, stream and exit status of the public API in a child process.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "glm/model_limits.h"
#include "tests/glm/glm_test_support.h"
#include "tests/reference/stdio_scanner.h"

using glmtest::TempFolder;
using testing::ExitedWithCode;
using testing::StrEq;

namespace {

ReadStatus readStatusOf(const std::string& path) {
  std::unique_ptr<ObjModel> model;
  ReadStatus status = glmReadOBJChecked(path.c_str(), &model);
  EXPECT_EQ(status.ok(), model != nullptr);
  return status;
}

// In a death-test child: standard output goes where the test reads (the pipe
// of standard error) and standard error is discarded, so only stdout is seen.
void onlyStdoutVisible() {
  dup2(STDERR_FILENO, STDOUT_FILENO);
  int null = open("/dev/null", O_WRONLY);
  dup2(null, STDERR_FILENO);
}

void onlyStderrVisible() {
  int null = open("/dev/null", O_WRONLY);
  dup2(null, STDOUT_FILENO);
}

}  // namespace

TEST(ReadFailures, UnopenableObj) {
  TempFolder folder;
  std::string path = folder.path("missing.obj");
  ReadStatus status = readStatusOf(path);
  EXPECT_EQ(status.error, ReadError::CANT_OPEN_OBJ);
  EXPECT_EQ(status.message, "glmReadOBJ() failed: can't open data file \"" + path + "\".\n");
  EXPECT_EQ(status.reason, "  " + path + ": no such file\n");
  EXPECT_FALSE(status.toStdout);
  EXPECT_EXIT({ onlyStderrVisible(); glmReadOBJ(path.c_str()); }, ExitedWithCode(1), StrEq(status.text()));
}

TEST(ReadFailures, DirectoryIsNotAModelOrLibrary) {
  TempFolder folder;
  ReadStatus status = readStatusOf(folder.dir());
  EXPECT_EQ(status.error, ReadError::CANT_OPEN_OBJ);
  EXPECT_EQ(status.message, "glmReadOBJ() failed: can't open data file \"" + folder.dir() + "\".\n");
  EXPECT_EQ(status.reason, "  " + folder.dir() + ": a folder, not a file\n");
  folder.write("dir.obj", "mtllib .\n");
  status = readStatusOf(folder.path("dir.obj"));
  EXPECT_EQ(status.error, ReadError::CANT_OPEN_MTL);
  EXPECT_EQ(status.message, "glmReadMTL() failed: can't open material file \"" + folder.path(".") + "\".\n");
  EXPECT_EQ(status.reason, "  " + folder.path(".") + ": a folder, not a file\n");
}

TEST(ReadFailures, EndlessOrSpecialFilesAreRefusedByNameWithoutReading) {
  TempFolder folder;
  ASSERT_EQ(mkfifo(folder.path("pipe.obj").c_str(), 0600), 0);  // nobody writes: opening it waits for ever
  ASSERT_EQ(symlink("/dev/zero", folder.path("zero.obj").c_str()), 0);
  ASSERT_EQ(truncate(folder.write("huge.obj", "").c_str(), 257 << 20), 0);  // sparse: costs no disk
  const std::string notRegular = "not a regular file (a device, a pipe or a socket)";
  const struct {
    std::string model;
    ReadError error;
    std::string file;  // the file the message and the reason name
    std::string reason;
  } cases[] = {
      {folder.path("zero.obj"), ReadError::CANT_OPEN_OBJ, folder.path("zero.obj"), notRegular},
      {folder.path("pipe.obj"), ReadError::CANT_OPEN_OBJ, folder.path("pipe.obj"), notRegular},
      {folder.path("huge.obj"), ReadError::CANT_OPEN_OBJ, folder.path("huge.obj"), "larger than the 256 MiB cap (257 MiB)"},
      {folder.write("z.obj", "mtllib ../../../../../../../../../dev/zero\n"), ReadError::CANT_OPEN_MTL,
       folder.path("../../../../../../../../../dev/zero"), notRegular},
      {folder.write("r.obj", "mtllib /dev/urandom\n"), ReadError::CANT_OPEN_MTL, "/dev/urandom", notRegular},
      {folder.write("p.obj", "mtllib pipe.obj\n"), ReadError::CANT_OPEN_MTL, folder.path("pipe.obj"), notRegular},
      {folder.write("h.obj", "mtllib huge.obj\n"), ReadError::CANT_OPEN_MTL, folder.path("huge.obj"),
       "larger than the 256 MiB cap (257 MiB)"},
  };
  for (ScannerKind kind : {ScannerKind::BUFFER, ScannerKind::STDIO}) {
    const ScannerKind previous = glmSetScannerKind(kind);
    for (const auto& c : cases) {
      SCOPED_TRACE(c.model);
      ReadStatus status = readStatusOf(c.model);
      EXPECT_EQ(status.error, c.error);
      EXPECT_NE(status.message.find("\"" + c.file + "\".\n"), std::string::npos) << status.message;
      EXPECT_EQ(status.reason, "  " + c.file + ": " + c.reason + "\n");
    }
    glmSetScannerKind(previous);
  }
}

TEST(ReadFailures, ModelsPastTheMemoryCapAreRefusedSayingWhatTheyNeed) {
  // Short lines standing for large records: two-byte corners that each make a
  // triangle, and material lines just past the table the cap allows.
  TempFolder folder;
  std::string fan = "f";
  for (int corner = 0; corner < 1000; ++corner) fan += " 1";
  std::string triangles = "v 0 0 0\n";
  for (std::uint64_t made = 0; made * 44 <= MODEL_MAX_MEMORY; made += 998) triangles += fan + "\n";
  std::string materials;
  for (std::uint64_t count = 0; count * sizeof(ObjMaterial) <= MODEL_MAX_MEMORY; ++count) materials += "newmtl\n";
  folder.write("many.mtl", materials);
  const struct {
    std::string model;
    std::string file;  // the file the reason names
    std::string start, end;
  } cases[] = {
      {folder.write("triangles.obj", triangles), folder.path("triangles.obj"), "its 1 vertices and ",
       " triangles need 1.0 GiB, more than the 1 GiB a model may take\n"},
      {folder.write("materials.obj", "mtllib many.mtl\n"), folder.path("many.mtl"), "its ",
       " materials need more than the 1 GiB a model may take\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const ReadStatus status = readStatusOf(c.model);
    EXPECT_EQ(status.error, ReadError::TOO_LARGE);
    EXPECT_NE(status.message.find("\"" + c.file + "\".\n"), std::string::npos) << status.message;
    const std::string start = "  " + c.file + ": " + c.start;
    EXPECT_EQ(status.reason.rfind(start, 0), 0u) << status.reason;
    EXPECT_EQ(status.reason.substr(status.reason.size() - std::min(status.reason.size(), c.end.size())), c.end)
        << status.reason;
  }
}

TEST(ReadFailures, UnknownVertexStatement) {
  TempFolder folder;
  struct Case {
    const char* text;
    std::string token;
  };
  const Case cases[] = {
      {"v 1 2 3\nvp 0.5\n", "vp"},
      {"# fine\nvw 0 1\n", "vw"},
      // A token is cut at 127 characters; the rest would be read as the next token.
      {nullptr, "v" + std::string(126, 'x')},
      // Bytes of a binary file are written as escapes, never sent to the terminal.
      {"v\x1b[2J\xff 1\n", "v\\x1b[2J\\xff"},
  };
  for (const Case& c : cases) {
    std::string text = c.text != nullptr ? c.text : "v" + std::string(300, 'x') + " 1\n";
    std::string path = folder.write("vp.obj", text);
    ReadStatus status = readStatusOf(path);
    EXPECT_EQ(status.error, ReadError::UNKNOWN_TOKEN);
    EXPECT_EQ(status.message, "glmFirstPass(): Unknown token \"" + c.token + "\".\n");
    EXPECT_TRUE(status.toStdout);
    EXPECT_EXIT({ onlyStdoutVisible(); glmReadOBJ(path.c_str()); }, ExitedWithCode(1), StrEq(status.message));
  }
}

TEST(ReadFailures, UnopenableMaterialLibrary) {
  TempFolder folder;
  std::string path = folder.write("nomtl.obj", "v 0 0 0\nmtllib absent.mtl\n");
  ReadStatus status = readStatusOf(path);
  EXPECT_EQ(status.error, ReadError::CANT_OPEN_MTL);
  EXPECT_EQ(status.message, "glmReadMTL() failed: can't open material file \"" + folder.path("absent.mtl") + "\".\n");
  EXPECT_EQ(status.reason, "  " + folder.path("absent.mtl") + ": no such file\n");
  EXPECT_FALSE(status.toStdout);
  EXPECT_EXIT({ onlyStderrVisible(); glmReadOBJ(path.c_str()); }, ExitedWithCode(1), StrEq(status.text()));

  ObjModel model;
  model.path = path;
  EXPECT_EXIT({ onlyStderrVisible(); glmReadMTL(&model, "absent.mtl"); }, ExitedWithCode(1), StrEq(status.text()));
}

TEST(ReadFailures, UnreadableTexture) {
  TempFolder folder;
  folder.write("tex.mtl", "newmtl a\nmap_Kd  broken.tga\n");
  std::string path = folder.write("tex.obj", "mtllib tex.mtl\n");
  glmtest::TextureRecorder failing(true);
  ReadStatus status = readStatusOf(path);
  EXPECT_EQ(status.error, ReadError::TEXTURE_UNREADABLE);
  // The loader's own text and one more line end, as glmLoadTexture prints it.
  EXPECT_EQ(status.message, "Error reading texture: " + folder.path("broken.tga") + " \n\n");
  EXPECT_FALSE(status.toStdout);
  EXPECT_EXIT({ onlyStderrVisible(); glmReadOBJ(path.c_str()); }, ExitedWithCode(1), StrEq(status.message));

  ObjModel model;
  model.path = path;
  EXPECT_EXIT({ onlyStderrVisible(); glmAcquireTexture(&model, " broken.tga\n"); }, ExitedWithCode(1),
              StrEq(status.message));
}

TEST(ReadFailures, BadFaceIndexNamesFileAndLine) {
  struct Case {
    const char* text;
    const char* problem;
    int line;
  };
  const Case cases[] = {
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "bad vertex index 0", 4},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\n\nf 1 2 3\nf 1 2 4\n", "bad vertex index 4", 6},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3 9\n", "bad vertex index 9", 4},       // fourth corner of a fan
      {"v 0 0 0\nv 1 0 0\nf -3 1 2\nv 0 1 0\n", "bad vertex index -3", 3},      // only two read before the face
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1//1 2//1 3//1\n", "bad normal index 1", 4},  // the file has no normals
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/2 3/1\n", "bad texture coordinate index 2", 5},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/-2 3/1/1\n", "bad normal index -2", 6},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 99999999999999999999\n", "bad vertex index 9223372036854775807", 4},
      // A face without corners takes the next token as its first corner: the
      // line reported is where that token was read.
      {"v 0 0 0\nf\ng end\n", "bad vertex index 0", 3},
      {"v 0 0 0\nf", "bad vertex index 0", 2},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string path = folder.write("bad.obj", c.text);
    ReadStatus status = readStatusOf(path);
    EXPECT_EQ(status.error, ReadError::BAD_INDEX);
    EXPECT_EQ(status.message, "glmReadOBJ() failed: " + std::string(c.problem) + " in \"" + path + "\" at line " +
                                  std::to_string(c.line) + ".\n");
    EXPECT_FALSE(status.toStdout);
  }
  std::string path = folder.write("bad.obj", cases[0].text);
  EXPECT_EXIT({ onlyStderrVisible(); glmReadOBJ(path.c_str()); }, ExitedWithCode(1),
              StrEq("glmReadOBJ() failed: bad vertex index 0 in \"" + path + "\" at line 4.\n"));
}

TEST(ReadFailures, FittingAModelWithoutVertices) {
  TempFolder folder;
  std::string path = folder.write("empty.obj", "# nothing\n");
  auto model = glmtest::readModel(path);
  ASSERT_TRUE(model);
  EXPECT_EXIT({ onlyStderrVisible(); glmFitToUnitCube(model.get()); }, ExitedWithCode(1),
              StrEq("glmFitToUnitCube() failed: model \"" + path + "\" has no vertices.\n"));
}

TEST(ReadFailures, SuccessfulReadPrintsNothingAndReturnsTheModel) {
  TempFolder folder;
  std::string path = folder.write("ok.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ObjModel* model = glmReadOBJ(path.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->path, path);
  EXPECT_EQ(model->ntris, 1u);
  glmDelete(model);
}

TEST(ProgrammingErrors, MissingModelOrArraysAbortWithTheConditionsText) {
  ObjModel empty;  // no vertices array: never the case after a read
  EXPECT_DEATH(glmFitToUnitCube(nullptr), "Assertion `model' failed");
  EXPECT_DEATH(glmFitToUnitCube(&empty), "Assertion `model->vertices' failed");
  EXPECT_DEATH(glmComputeFacetNormals(&empty), "Assertion `model->vertices' failed");
  EXPECT_DEATH(glmDraw(&empty, 0), "Assertion `model->vertices' failed");
  empty.vertices.assign(3, 0.0f);
  EXPECT_DEATH(glmVertexNormals(&empty, 90.0f), "Assertion `model->facetnorms' failed");
  EXPECT_DEATH(glmLookupGroup(nullptr, "default"), "Assertion `model' failed");
}

TEST(ReadFailures, MissingTextureThroughTheImageLibrary) {
  TempFolder folder;
  folder.write("real.mtl", "newmtl a\nmap_Kd  absent.tga\n");
  std::string path = folder.write("real.obj", "mtllib real.mtl\n");
  std::string message = "Error reading texture: " + folder.path("absent.tga") + " \n\n";
  ReadStatus status = readStatusOf(path);
  EXPECT_EQ(status.error, ReadError::TEXTURE_UNREADABLE);
  EXPECT_EQ(status.message, message);
  EXPECT_EQ(status.reason, "  " + folder.path("absent.tga") + ": no such file\n");
  EXPECT_EXIT({ onlyStderrVisible(); glmReadOBJ(path.c_str()); }, ExitedWithCode(1), StrEq(status.text()));
}

namespace {

bool registryLiveInHook = false;

MaterialTextureResult noteRegistry(const char*, bool, bool, bool) {
  registryLiveInHook = glmTextureLoader != nullptr;
  MaterialTextureResult result;
  result.ok = true;
  return result;
}

}  // namespace

TEST(TextureRegistry, LivesExactlyWhileAModelIsRead) {
  TempFolder folder;
  folder.write("r.mtl", "newmtl a\nmap_Kd a.tga\n");
  GlmTextureHook previous = glmSetTextureHook(noteRegistry);
  EXPECT_EQ(glmTextureLoader, nullptr);
  auto model = glmtest::readModel(folder.write("r.obj", "mtllib r.mtl\n"));
  EXPECT_TRUE(registryLiveInHook);
  EXPECT_EQ(glmTextureLoader, nullptr);
  registryLiveInHook = false;
  EXPECT_FALSE(readStatusOf(folder.write("bad.obj", "mtllib r.mtl\nf 0 0 0\n")).ok());
  EXPECT_TRUE(registryLiveInHook);
  EXPECT_EQ(glmTextureLoader, nullptr);  // also gone after a refusal
  glmSetTextureHook(previous);
  EXPECT_EQ(glmTextureHook(), glmTryLoadTexture);
}
