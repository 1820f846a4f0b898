// velmora-inspect --picture on real models: every model it reads fills each
// view of its sheet within a margin, a model whose material library or texture
// is missing still shows (light grey, with the program's message), one it
// refuses is refused as before; the kart's sheet matches its reference, also
// from a z-up copy, and a copy turned inside out shows the back-face colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/e2e/process.h"
#include "tests/support/test_paths.h"
#include "tests/visual/image_compare.h"
#include "tools/inspect/picture_layout.h"
#include "tools/inspect/picture_render.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out, err;
  RgbImage image;  // the picture, when one was written
};

// With `noDisplay`, as a terminal without X runs it.
ToolRun inspect(const std::vector<std::string>& args, const std::string& picture = "", bool noDisplay = false) {
  e2etest::ProcessSpec launch;
  if (noDisplay) launch.unsetEnv = {"DISPLAY"};
  launch.argv = {VELMORA_INSPECT};
  launch.argv.insert(launch.argv.end(), args.begin(), args.end());
  const std::string folder = supporttest::makeTempDir("run");
  launch.outputFile = folder + "/out.txt";
  launch.errorFile = folder + "/err.txt";
  const e2etest::RunResult result = e2etest::runProcess(launch, 60);
  ToolRun run;
  run.status = result.finished ? result.exitStatus : -1;
  run.out = supporttest::readFile(launch.outputFile);
  run.err = supporttest::readFile(launch.errorFile);
  if (!picture.empty()) readPng(picture, &run.image);
  return run;
}

bool isColor(const unsigned char* p, PictureColor c) {
  return std::abs(p[0] - c.r) <= 3 && std::abs(p[1] - c.g) <= 3 && std::abs(p[2] - c.b) <= 3;
}

// The model's pixels in one view: neither background nor grid.
struct ViewCoverage {
  double extent = 0;  // the larger share of the view's width or height their bounding box spans
  double area = 0;    // their share of the view's pixels
  long backFace = 0;  // of them, those in the back-face colour
  long normal = 0;    // those in the normals' colour
  long lit = 0;       // those that are not (nearly) black
  long pixels = 0;
  double level = 0;  // the sum of their grey levels
};

ViewCoverage coverage(const RgbImage& image, const ViewRect& rect) {
  ViewCoverage c;
  int left = rect.width, right = -1, top = rect.height, bottom = -1;
  for (int y = 0; y < rect.height; ++y) {
    for (int x = 0; x < rect.width; ++x) {
      const unsigned char* p = image.at(rect.x + x, rect.y + y);
      if (isColor(p, PICTURE_BACKGROUND) || isColor(p, PICTURE_GRID)) continue;
      ++c.pixels;
      c.backFace += isColor(p, PICTURE_BACK_FACE);
      c.normal += isColor(p, PICTURE_NORMAL);
      c.lit += std::max({p[0], p[1], p[2]}) > 40;
      c.level += (p[0] + p[1] + p[2]) / 3.0;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  if (c.pixels == 0) return c;
  c.extent = std::max((right - left + 1.0) / rect.width, (bottom - top + 1.0) / rect.height);
  c.area = static_cast<double>(c.pixels) / (rect.width * rect.height);
  return c;
}

// The four views of a sheet drawn at `width` x `height` each.
std::vector<ViewCoverage> viewsOf(const RgbImage& image, int width, int height) {
  const SheetLayout layout = layoutSheet(4, width, height);
  EXPECT_EQ(image.width, layout.width);
  EXPECT_EQ(image.height, layout.height);
  std::vector<ViewCoverage> result;
  if (image.width != layout.width || image.height != layout.height) return result;
  for (int i = 0; i < 4; ++i) result.push_back(coverage(image, viewRect(layout, i)));
  return result;
}

// The counts of all four views together.
ViewCoverage sheetTotal(const RgbImage& image, int width, int height) {
  ViewCoverage total;
  for (const ViewCoverage& view : viewsOf(image, width, height)) {
    total.pixels += view.pixels, total.backFace += view.backFace, total.normal += view.normal;
  }
  return total;
}

// Lines of `text` that a successful texture load prints.
std::string withoutLoadedLines(const std::string& text) {
  std::istringstream in(text);
  std::string line, kept;
  while (std::getline(in, line)) {
    if (line.rfind("Loaded texture: ", 0) != 0) kept += line + "\n";
  }
  return kept;
}

std::vector<std::string> testdataModels() {
  std::vector<std::string> models;
  for (const char* folder : {"obj/tinyobjloader", "obj/real"}) {
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(supporttest::testdata(folder), missing)) {
      if (entry.path().extension() == ".obj") models.push_back(entry.path().string());
    }
  }
  std::sort(models.begin(), models.end());
  return models;
}

constexpr int W = 160, H = 120;
const std::string SIZE = "160x120";

}  // namespace

// What velmora-inspect's text report says decides what the picture must show.
TEST(PictureTestdata, EveryModelReadFillsEachViewAndTheRestIsRefusedOrGrey) {
  const std::string out = supporttest::makeTempDir("testdata") + "/sheet.png";
  const std::vector<std::string> models = testdataModels();
  ASSERT_GT(models.size(), 40u);
  int drawn = 0, grey = 0, refused = 0;
  for (const std::string& model : models) {
    SCOPED_TRACE(model);
    const std::string name = model.substr(model.rfind('/') + 1);
    std::remove(out.c_str());
    const ToolRun text = inspect({model});
    const ToolRun picture = inspect({"--picture", out, "--size", SIZE, model}, out);
    const bool missingPiece = text.err.find("can't open material file") != std::string::npos ||
                              text.err.find("Error reading texture") != std::string::npos;
    if (text.status != 0 && !missingPiece) {
      // Refused as before: the same message, no picture.
      EXPECT_EQ(picture.status, 1);
      EXPECT_EQ(picture.err, text.err);
      EXPECT_TRUE(picture.image.empty());
      ++refused;
      continue;
    }
    ASSERT_EQ(picture.status, 0) << picture.err;
    ASSERT_FALSE(picture.image.empty());
    const std::vector<ViewCoverage> views = viewsOf(picture.image, W, H);
    const long pixels = sheetTotal(picture.image, W, H).pixels;
    if (picture.out.find("nothing to draw") != std::string::npos) {
      // Only a model without triangles that have an area and finite corners may show nothing.
      EXPECT_TRUE(text.out.find("  triangles: 0\n") != std::string::npos ||
                  text.out.find("fewer than three corners") != std::string::npos ||
                  text.out.find("nan, inf or out of float range") != std::string::npos)
          << text.out;
      EXPECT_EQ(pixels, 0);
      continue;
    }
    std::string figures;
    int framed = 0;
    long lit = 0;
    double brightness = 0;
    for (const ViewCoverage& view : views) {
      char line[64];
      std::snprintf(line, sizeof line, " %.0f%%/%.1f%%", 100 * view.extent, 100 * view.area);
      figures += line;
      // Within the margin always; a view that sees the model all but edge on
      // (flat parts) is not held to the lower bound.
      EXPECT_LE(view.extent, 0.95) << figures;
      if (view.area >= 0.01) {
        EXPECT_GE(view.extent, 0.2) << figures;
      }
      framed += view.extent >= 0.2;
      lit += view.lit;
      brightness += view.level;
    }
    EXPECT_GE(framed, 2) << figures;
    if (lit == 0) {
      // All black only as the scene shows it: a model turned inside out (its
      // back faces then fill the --faces picture), or one with black materials.
      const ToolRun facesRun = inspect({"--picture", out, "--faces", "--size", SIZE, model}, out);
      const ViewCoverage faces = sheetTotal(facesRun.image, W, H);
      const bool insideOut = faces.pixels > 0 && faces.backFace > faces.pixels / 2;
      std::printf("%-48s all black: %.0f%% back faces\n", name.c_str(),
                  faces.pixels > 0 ? 100.0 * faces.backFace / faces.pixels : 0.0);
      EXPECT_TRUE(insideOut || text.out.find("diffuse 0 0 0") != std::string::npos) << text.out;
      EXPECT_FALSE(missingPiece);
    }
    std::printf("%-48s extent/area per view:%s\n", name.c_str(), figures.c_str());
    if (missingPiece) {
      // Light grey, with the program's message for what is missing as the text report prints it.
      EXPECT_GT(brightness / pixels, 70) << figures;
      EXPECT_NE(picture.err.find(withoutLoadedLines(text.err)), std::string::npos) << picture.err;
      ++grey;
    } else {
      ++drawn;
    }
  }
  std::printf("%d drawn, %d drawn grey for a missing piece, %d refused\n", drawn, grey, refused);
  EXPECT_GT(drawn, 25);
  EXPECT_GT(grey, 3);
  EXPECT_GT(refused, 3);
}

namespace {

// A copy of the kart with its textures and material library beside it, under
// the same name, its vertices and normals moved by `turn` and, when
// `reverse`, every face's corners in the opposite order.
std::string kartCopy(const std::string& folder, void (*turn)(double*), bool reverse) {
  const std::string source = supporttest::dataRoot() + "/data/models/go-carts/";
  for (const char* name : {"GO-CART-BLUE.mtl", "kart_number.tga", "kart_tread.bmp"}) {
    std::ofstream(folder + "/" + name, std::ios::binary) << supporttest::readFile(source + name);
  }
  std::istringstream in(supporttest::readFile(source + "GO-CART-BLUE.obj"));
  std::ofstream copy(folder + "/GO-CART-BLUE.obj");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "v" || kind == "vn") {
      double p[3];
      words >> p[0] >> p[1] >> p[2];
      turn(p);
      char text[128];
      std::snprintf(text, sizeof text, "%s %.9g %.9g %.9g", kind.c_str(), p[0], p[1], p[2]);
      line = text;
    } else if (kind == "f" && reverse) {
      std::vector<std::string> corners;
      for (std::string corner; words >> corner;) corners.push_back(corner);
      line = "f";
      for (auto c = corners.rbegin(); c != corners.rend(); ++c) line += " " + *c;
    }
    copy << line << "\n";
  }
  return folder + "/GO-CART-BLUE.obj";
}

// As a tool that exports z up writes a y-up model: turned a quarter about x,
// (x, y, z) -> (x, -z, y). (Swapping y and z alone would mirror it and turn it inside out.)
void zUp(double* p) {
  const double y = p[1];
  p[1] = -p[2];
  p[2] = y;
}
void unchanged(double*) {}

struct KartCase {
  const char* name;
  void (*turn)(double*);
  bool reverse;
  std::vector<std::string> options;
  bool matchesReference;
  double backFaceShare[2];  // the share of the model's pixels in the back-face colour: at least, at most
  bool normals;             // lines in the normals' colour
  bool noDisplay;           // run where no display answers: it must start its own
};

// Made with: velmora-inspect --picture tests/tools/references/kart_sheet.png --size 240x180
//            data/models/go-carts/GO-CART-BLUE.obj
const char* const REFERENCE = "tests/tools/references/kart_sheet.png";

}  // namespace

TEST(KartPicture, SheetMatchesTheReferenceFromAnyCopyAndInsideOutShows) {
  RgbImage reference;
  ASSERT_TRUE(readPng(supporttest::source(REFERENCE), &reference));
  const std::vector<KartCase> cases = {
      {"as read", unchanged, false, {}, true, {0, 0}, false, true},
      {"z up", zUp, false, {"--up", "z"}, true, {0, 0}, false, false},
      {"faces shown", unchanged, false, {"--faces"}, false, {0, 0.05}, false, false},
      {"inside out", unchanged, true, {"--faces"}, false, {0.6, 1}, false, false},
      {"normals", unchanged, false, {"--normals", "--ortho"}, false, {0, 0}, true, false},
  };
  for (const KartCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = supporttest::makeTempDir("kart");
    const std::string model = kartCopy(folder, c.turn, c.reverse);
    std::vector<std::string> args = {"--picture", folder + "/sheet.png", "--size", "240x180"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(model);
    const ToolRun run = inspect(args, folder + "/sheet.png", c.noDisplay);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_FALSE(run.image.empty());
    if (c.matchesReference) {
      const visualtest::CompareResult result = visualtest::compareImages(reference, run.image);
      if (!result.passes) writePng(supporttest::keptFile(std::string("kart-sheet-") + c.name + ".png"), run.image);
      std::printf("%s against the reference: %s\n", c.name, visualtest::describe(result).c_str());
      EXPECT_TRUE(result.passes);
    }
    const ViewCoverage total = sheetTotal(run.image, 240, 180);
    EXPECT_EQ(total.normal > total.pixels / 20, c.normals) << total.normal << " of " << total.pixels;
    ASSERT_GT(total.pixels, 0);
    const double share = static_cast<double>(total.backFace) / total.pixels;
    std::printf("%s: %.1f%% of the model's pixels in the back-face colour\n", c.name, 100 * share);
    EXPECT_GE(share, c.backFaceShare[0]);
    EXPECT_LE(share, c.backFaceShare[1]);
  }
}

// Refused before anything is read or drawn: one line naming the mistake, status 2.
TEST(PictureOptions, BadValuesAreRefusedWithOneLine) {
  const struct {
    std::vector<std::string> args;
    const char* named;
  } CASES[] = {
      {{"--picture", "x.png", "--views", "front,back", "m.obj"}, "--views takes "},
      {{"--picture", "x.png", "--views=", "m.obj"}, "--views takes "},
      {{"--picture", "x.png", "--size", "63x200", "m.obj"}, "--size takes "},
      {{"--picture", "x.png", "--size", "200", "m.obj"}, "--size takes "},
      {{"--picture", "x.png", "--up", "x", "m.obj"}, "--up takes "},
      {{"--picture", "x.png", "--turntable", "37", "m.obj"}, "--turntable takes "},
      {{"--picture", "x.png", "--turntable", "4", "--views", "top", "m.obj"}, "--views and --turntable"},
      {{"--faces", "m.obj"}, "--faces needs --picture"},
      {{"--picture", "x.png", "a.obj", "b.obj"}, "--picture draws one model"},
      {{"--picture", "x.png", "a.tga"}, "--picture draws a model"},
      {{"--picture", "x.png", "--size", "4096x4096", "m.obj"}, "the picture would be"},
  };
  for (const auto& c : CASES) {
    SCOPED_TRACE(c.args[c.args.size() - 2]);
    const ToolRun run = inspect(c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(std::string("velmora-inspect: ") + c.named, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}
