// velmora-inspect run on a small model with a material texture, an image and a
// refused model: its report and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "tests/glm/glm_test_support.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

ToolRun inspect(const glmtest::TempFolder& folder, const std::string& arguments) {
  std::string command = std::string(VELMORA_INSPECT) + " " + arguments + " >" + folder.path("out.txt") + " 2>" +
                        folder.path("err.txt");
  ToolRun run;
  int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = slurp(folder.path("out.txt"));
  run.err = slurp(folder.path("err.txt"));
  return run;
}

// A 2 x 1 uncompressed 24-bit TGA: red, green (stored blue-green-red).
const unsigned char PICTURE[] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 0, 0, 255, 0, 255, 0};

}  // namespace

TEST(Inspect, DescribesModelTexturesAndImage) {
  glmtest::TempFolder folder;
  folder.write("pic.tga", std::string(reinterpret_cast<const char*>(PICTURE), sizeof PICTURE));
  folder.write("kart.mtl", "newmtl paint\nKd 1 0 0\nmap_Kd pic.tga\n");
  folder.write("kart.obj",
               "v 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 0\nv 9 9 9\n"
               "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
               "mtllib kart.mtl\ng body\nusemtl paint\nf 1/1 2/2 3/3 4/4\n");
  ToolRun run = inspect(folder, folder.path("kart.obj") + " " + folder.path("pic.tga"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, folder.path("kart.obj") +
                         "\n"
                         "  vertices: 5\n"
                         "  normals: 0\n"
                         "  texture coordinates: 4\n"
                         "  triangles: 2\n"
                         "  groups: 2\n"
                         "    \" body\": 2 triangles, material \"paint\"\n"
                         "    \"default\": 0 triangles, material \"default\"\n"
                         "  materials: 2 from \"kart.mtl\"\n"
                         "    \"default\": diffuse 0.8 0.8 0.8 1, shininess 65\n"
                         "    \"paint\": diffuse 1 0 0 1, shininess 65, texture 0\n"
                         "  textures: 1\n"
                         "    0 \"pic.tga\\n\": 2 x 1\n"
                         "  bounding box: x [0, 9]  y [0, 9]  z [0, 9]\n"
                         // Vertices 1-4 share one plane: one averaged normal each; vertex 5 is unused.
                         "  prepared: fit factor 0.111111, 4 vertex normals at 90 degrees\n"
                         "  warnings: 1\n"
                         "    glmVertexNormals(): vertex w/o a triangle (for 1 vertex)\n"
                         "  verdict: read\n" +
                         folder.path("pic.tga") +
                         "\n"
                         "  format: RGB, 3 bytes per pixel\n"
                         "  size: 2 x 1\n"
                         "  verdict: loaded by the tga loader\n");
}

TEST(Inspect, RefusedFilesGiveTheProgramsMessageAndFailureStatus) {
  glmtest::TempFolder folder;
  folder.write("vp.obj", "v 0 0 0\nvp 1\n");
  folder.write("tex.mtl", "newmtl a\nmap_Kd missing.tga\n");
  folder.write("tex.obj", "mtllib tex.mtl\n");
  ToolRun run = inspect(folder, folder.path("vp.obj") + " " + folder.path("tex.obj") + " " + folder.path("a.jpg"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, folder.path("vp.obj") + "\nglmFirstPass(): Unknown token \"vp\".\n  verdict: refused\n" +
                         folder.path("tex.obj") + "\n  verdict: refused\n" + folder.path("a.jpg") +
                         "\n  verdict: refused, no loader for the extension \"jpg\"\n");
  EXPECT_EQ(run.err, "Error reading texture: " + folder.path("missing.tga") + " \n\n");
}

TEST(Inspect, UsageOnlyWhenAskedFor) {
  glmtest::TempFolder folder;
  ToolRun run = inspect(folder, "");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "velmora-inspect: no file given; try --help\n");
  ToolRun help = inspect(folder, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: velmora-inspect [OPTIONS] FILE..."), std::string::npos);
  EXPECT_NE(help.out.find("no OpenGL texture"), std::string::npos);
}
