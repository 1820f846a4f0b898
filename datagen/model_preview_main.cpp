// velmora-datagen-preview: a developer's look at the generated data through OpenGL.
// Renders the kart and the grass from several sides, lit the way the scene lights
// them (white global ambient, the sun straight above in eye space, per-group
// materials, normals smoothed like the model library's 90-degree vertex normals), and
// the sky box and ground from the scene's eye, then writes PNG files.
//
//   velmora-datagen-preview OUT_DIR
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/lighting.h"
#include "app/scene_state.h"
#include "app/shell/window.h"
#include "cli/command_line.h"
#include "cli/display.h"
#include "datagen/data_set.h"
#include "datagen/png_writer.h"
#include "datagen/vec.h"
#include "image/scene_textures.h"
#include "scene/grass.h"
#include "scene/ground.h"
#include "scene/kart.h"
#include "scene/materials.h"
#include "scene/sky_box.h"
#include "support/output_file.h"

using namespace datagen;

namespace {

const char* const PREVIEW_USAGE =
    "Usage: velmora-datagen-preview OUT_DIR\n"
    "Renders the generated kart and grass from several sides, lit as the scene lights\n"
    "them, and the sky box and ground from the scene's eye, into PNG files in OUT_DIR.\n"
    "Without an X display it runs itself under xvfb-run.\n"
    "\n"
    "  --help      this text\n"
    "  --version   the version\n";

// ---- The model as the scene prepares it ----------------------------------------------

struct Triangle {
  int position[3];
  Vec3 normal[3];
};

struct DrawGroup {
  const MeshMaterial* material = nullptr;
  std::vector<Triangle> triangles;
};

struct Prepared {
  std::vector<Vec3> positions;
  std::vector<DrawGroup> groups;
};

// Fan triangles, fitted so the largest extent is 2 and the box is centred, then
// normals as the model library makes them: per position, the facet normals of the
// triangles that share it are averaged when within 90 degrees of the last such
// triangle's; the others keep their own facet normal.
Prepared prepare(const Mesh& mesh) {
  Prepared out;
  Bounds box = meshBounds(mesh);
  Vec3 size = box.size();
  double scale = 2.0 / std::max({size.x, size.y, size.z});
  for (const Vec3& p : mesh.positions) out.positions.push_back((p - box.centre()) * scale);

  std::vector<Vec3> facet;
  std::vector<std::pair<size_t, size_t>> where;  // group, triangle in group
  for (const MeshGroup& g : mesh.groups) {
    DrawGroup dg;
    dg.material = mesh.findMaterial(g.material);
    for (const MeshFace& f : g.faces) {
      for (size_t i = 1; i + 1 < f.vertices.size(); ++i) {
        Triangle t;
        int corner[3] = {f.vertices[0], f.vertices[i], f.vertices[i + 1]};
        for (int k = 0; k < 3; ++k) t.position[k] = mesh.vertices[corner[k]].position;
        Vec3 a = out.positions[t.position[0]], b = out.positions[t.position[1]], c = out.positions[t.position[2]];
        facet.push_back(normalize(cross(b - a, c - a)));
        where.push_back({out.groups.size(), dg.triangles.size()});
        dg.triangles.push_back(t);
      }
    }
    out.groups.push_back(std::move(dg));
  }
  std::vector<std::vector<size_t>> uses(out.positions.size());
  for (size_t t = 0; t < facet.size(); ++t) {
    const Triangle& tri = out.groups[where[t].first].triangles[where[t].second];
    for (int k = 0; k < 3; ++k) uses[tri.position[k]].push_back(t);
  }
  const double cosAngle = std::cos(90.0 * 3.1415927410125732 / 180.0);
  for (size_t p = 0; p < uses.size(); ++p) {
    if (uses[p].empty()) continue;
    Vec3 head = facet[uses[p].back()], sum{};
    for (size_t t : uses[p]) {
      if (dot(facet[t], head) > cosAngle) sum += facet[t];
    }
    sum = normalize(sum);
    for (size_t t : uses[p]) {
      Triangle& tri = out.groups[where[t].first].triangles[where[t].second];
      for (int k = 0; k < 3; ++k) {
        if (tri.position[k] == static_cast<int>(p)) tri.normal[k] = dot(facet[t], head) > cosAngle ? sum : facet[t];
      }
    }
  }
  return out;
}

void drawPrepared(const Prepared& model) {
  for (const DrawGroup& g : model.groups) {
    const MeshMaterial& m = *g.material;
    float ambient[4] = {float(m.ambient.x), float(m.ambient.y), float(m.ambient.z), 1};
    float diffuse[4] = {float(m.diffuse.x), float(m.diffuse.y), float(m.diffuse.z), 1};
    float specular[4] = {float(m.specular.x), float(m.specular.y), float(m.specular.z), 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, float(m.shininess / 1000.0 * 128.0));
    glBegin(GL_TRIANGLES);
    for (const Triangle& t : g.triangles) {
      for (int k = 0; k < 3; ++k) {
        glNormal3d(t.normal[k].x, t.normal[k].y, t.normal[k].z);
        const Vec3& p = model.positions[t.position[k]];
        glVertex3d(p.x, p.y, p.z);
      }
    }
    glEnd();
  }
}

// ---- Lights and the scene's pieces -------------------------------------------------

// The sun as the scene places it, straight up in eye space: toggleSun at
// start-up has switched it on with its white global ambient.
void sceneLights() {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  placeSunLight();
  glPopMatrix();
}

GLuint upload(const Image8& image) {
  GLuint id = 0;
  glGenTextures(1, &id);
  glPixelStorei(GL_UNPACK_ALIGNMENT, (image.width * image.channels) % 4 ? 1 : 4);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexImage2D(GL_TEXTURE_2D, 0, image.channels, image.width, image.height, 0, image.channels == 4 ? GL_RGBA : GL_RGB,
               GL_UNSIGNED_BYTE, image.pixels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  return id;
}

// The sky box as the scene draws it, with the pictures uploaded into the
// scene's texture slots, and the ground's grid as quad strips under the
// ground's material, normal and texture: the frame's straightforward drawing.
void drawSkyAndGround() {
  // The scene never sets a colour: its unlit sky shows under OpenGL's initial
  // white, which the model views' grey grid has replaced here.
  glColor3f(1, 1, 1);
  drawSkyBox();
  applyMaterial(CHROME_MATERIAL);
  glNormal3f(0, 1, 0);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, sceneTextures[TEX_SKY_NEG_Y]);
  const std::vector<GroundVertex>& vertices = groundVertices();
  for (int column = 0; column < GROUND_DIVISIONS; ++column) {
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k < GROUND_STRIP_VERTICES; ++k) {
      const GroundVertex& v = vertices[static_cast<size_t>(column) * GROUND_STRIP_VERTICES + k];
      glTexCoord2f(v.s, v.t);
      glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
}

void drawGroundGrid(double y, double half) {
  glDisable(GL_LIGHTING);
  glColor3f(0.55f, 0.58f, 0.55f);
  glBegin(GL_QUADS);
  glVertex3d(-half, y, -half);
  glVertex3d(-half, y, half);
  glVertex3d(half, y, half);
  glVertex3d(half, y, -half);
  glEnd();
  glColor3f(0.42f, 0.45f, 0.42f);
  glBegin(GL_LINES);
  for (double k = -half; k <= half + 1e-9; k += 0.25) {
    glVertex3d(k, y + 0.001, -half);
    glVertex3d(k, y + 0.001, half);
    glVertex3d(-half, y + 0.001, k);
    glVertex3d(half, y + 0.001, k);
  }
  glEnd();
  glEnable(GL_LIGHTING);
}

// ---- Frames ---------------------------------------------------------------------------

Image8 readPixels(int x, int y, int width, int height) {
  Image8 image;
  image.width = width;
  image.height = height;
  image.channels = 3;
  image.pixels.resize(static_cast<size_t>(width) * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.pixels.data());
  return image;
}

// Pictures that could not be written; each has had its line.
int failedPictures = 0;

bool save(const std::string& path, const Image8& image) {
  const bool ok = writePng(path, image);
  if (ok) {
    std::printf("wrote %s\n", path.c_str());
  } else {
    ++failedPictures;
  }
  return ok;
}

bool savePixels(const std::string& path, int width, int height) { return save(path, readPixels(0, 0, width, height)); }

// A region of the frame blown up `zoom` times (nearest texel), to see single pixels.
bool saveZoom(const std::string& path, int x, int y, int width, int height, int zoom) {
  Image8 region = readPixels(x, y, width, height), big;
  big.width = width * zoom;
  big.height = height * zoom;
  big.channels = 3;
  big.pixels.resize(static_cast<size_t>(big.width) * big.height * 3);
  for (int j = 0; j < big.height; ++j) {
    for (int i = 0; i < big.width; ++i) {
      for (int c = 0; c < 3; ++c) {
        big.pixels[(static_cast<size_t>(j) * big.width + i) * 3 + c] = region.pixel(i / zoom, j / zoom)[c];
      }
    }
  }
  return save(path, big);
}

void beginFrame(int width, int height, double fov, Color background) {
  glViewport(0, 0, width, height);
  glClearColor(float(background.r), float(background.g), float(background.b), 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fov, double(width) / height, 0.05, 200);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// A model view from (yaw, pitch) degrees round the model at the given distance.
void modelView(const Prepared& model, double yaw, double pitch, double distance, double groundY, bool grass) {
  const double r = PI / 180;
  gluLookAt(distance * std::cos(pitch * r) * std::cos(yaw * r), distance * std::sin(pitch * r),
            distance * std::cos(pitch * r) * std::sin(yaw * r), 0, 0, 0, 0, 1, 0);
  sceneLights();
  drawGroundGrid(groundY, 2.5);
  glPushMatrix();
  if (grass) {
    // As the scene tilts each patch: 20 degrees about the (1, 0, 1) diagonal.
    glTranslated(0, GRASS_CENTRE_HEIGHT, 0);
    glRotated(GRASS_TILT, 1, 0, 1);
  }
  glEnable(GL_NORMALIZE);
  drawPrepared(model);
  glPopMatrix();
}

std::string outDir;
DataSet* dataSet = nullptr;

void renderAll() {
  const Color studio{0.78, 0.82, 0.86, 1};
  Prepared kart = prepare(dataSet->kart), grass = prepare(dataSet->grass);
  struct View {
    const char* name;
    double yaw, pitch, distance;
  };
  // The kart's front is -x: yaw 180 looks at it from the front.
  // The camera sits at (cos yaw, ., sin yaw): the kart's front is -x, its left +z.
  const View kartViews[] = {{"front_right", 215, 22, 3.3}, {"side_left", 90, 4, 3.0}, {"rear_left", 30, 25, 3.3},
                            {"front", 180, 8, 3.0},        {"top", 90, 80, 3.2},     {"rear", 0, 12, 3.0},
                            {"low_front_left", 150, 6, 2.2}};
  for (const View& v : kartViews) {
    beginFrame(1000, 750, 40, studio);
    // The ground is as far below the kart's centre as it stands in the scene.
    modelView(kart, v.yaw, v.pitch, v.distance, -KART_STAND_HEIGHT, false);
    savePixels(outDir + "/kart_" + v.name + ".png", 1000, 750);
  }
  const View grassViews[] = {{"side", 90, 8, 3.2}, {"above", 40, 45, 3.4}};
  for (const View& v : grassViews) {
    beginFrame(1000, 750, 40, studio);
    modelView(grass, v.yaw, v.pitch, v.distance, 0.0, true);
    savePixels(outDir + "/grass_" + v.name + ".png", 1000, 750);
  }

  // The scene's sky box and ground from its start eye, and a parked kart and grass
  // patches placed as the scene places them.
  const struct {
    int slot;
    const char* picture;
  } skyPictures[] = {{TEX_SKY_POS_Z, "skybox/pos_z.bmp"}, {TEX_SKY_NEG_Z, "skybox/neg_z.bmp"},
                     {TEX_SKY_POS_X, "skybox/pos_x.bmp"}, {TEX_SKY_NEG_X, "skybox/neg_x.bmp"},
                     {TEX_SKY_POS_Y, "skybox/pos_y.bmp"}, {TEX_SKY_NEG_Y, "skybox/neg_y.bmp"}};
  for (const auto& sky : skyPictures) sceneTextures[sky.slot] = upload(dataSet->picture(sky.picture));
  initKartLights();
  struct SceneView {
    const char* name;
    double yaw, pitch;
  };
  const SceneView sceneViews[] = {{"start", 0, 0},       {"corner_left", 45, 0}, {"behind", 180, 0},
                                  {"corner_up", -45, 28}, {"zenith", 0, 75},     {"ground_down", 20, -35}};
  for (const SceneView& v : sceneViews) {
    beginFrame(WINDOW_WIDTH, WINDOW_HEIGHT, FIELD_OF_VIEW, Color{0, 0, 0, 1});
    reshape(WINDOW_WIDTH, WINDOW_HEIGHT);
    // The start pose, turned `yaw` degrees to the left and tilted `pitch` up.
    SceneState pose;
    resetCameraPose(pose);
    pose.cameraYaw -= v.yaw;
    pose.cameraPitch = v.pitch;
    sceneLights();
    lookAt(freeCameraLookAt(pose));
    glPushMatrix();
    glScalef(KART_SCALE, KART_SCALE, KART_SCALE);
    glTranslated(-3, KART_STAND_HEIGHT, -2);
    glRotated(30, 0, 1, 0);
    placeKartLights();
    glEnable(GL_NORMALIZE);
    drawPrepared(kart);
    glPopMatrix();
    for (double gx : {1.0, 3.0}) {
      glPushMatrix();
      glScalef(KART_SCALE, KART_SCALE, KART_SCALE);
      glTranslated(gx, GRASS_CENTRE_HEIGHT, 4);
      glRotated(GRASS_TILT, 1, 0, 1);
      drawPrepared(grass);
      glPopMatrix();
    }
    glTranslated(0, 0, 2);  // the composition's last translation
    drawSkyAndGround();
    savePixels(outDir + "/scene_" + v.name + ".png", WINDOW_WIDTH, WINDOW_HEIGHT);
    // Close-ups: the trees' foot at the horizon, or the top rim of the walls.
    if (v.pitch == 0) saveZoom(outDir + "/scene_" + v.name + "_zoom.png", 500, 380, 320, 240, 3);
    if (v.yaw == -45) saveZoom(outDir + "/scene_" + v.name + "_zoom.png", 470, 250, 320, 240, 3);
  }
}

void display() {
  static bool done = false;
  if (done) return;
  done = true;
  renderAll();
  std::exit(failedPictures == 0 ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine line("velmora-datagen-preview", PREVIEW_USAGE);
  std::vector<std::string> operands;
  const int status = line.handle(argc, argv, &operands);
  if (status >= 0) return status;
  if (operands.size() != 1)
    return line.refuse(operands.empty() ? "no output folder given" : "more than one output folder given");
  outDir = operands[0];
  // The folder is looked at before anything is rendered.
  if (const std::string problem = outputFolderProblem(outDir, "kart_front_right.png"); !problem.empty()) {
    std::fprintf(stderr, "velmora-datagen-preview: %s; name a folder that can be written\n", problem.c_str());
    return 1;
  }
  if (!ensureDisplay("velmora-datagen-preview", argv)) return 1;
  // The options are ours; GLUT gets only the program's name.
  int glutArgc = 1;
  glutInit(&glutArgc, argv);
  static DataSet set = generateDataSet();
  dataSet = &set;
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutInitWindowSize(WINDOW_WIDTH, WINDOW_HEIGHT);
  glutCreateWindow("velmora-datagen-preview");
  initGL();
  toggleSun();
  glutDisplayFunc(display);
  glutMainLoop();
  return 0;
}
