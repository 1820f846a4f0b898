// A model's picture, drawn with the fixed-function pipeline into an offscreen framebuffer.
#include "tools/inspect/picture_render.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include <cmath>

#include "tools/inspect/picture_layout.h"
#include "tools/offscreen/offscreen.h"

const float PICTURE_PLAIN_DIFFUSE[4] = {0.8f, 0.8f, 0.8f, 1.0f};
const float PICTURE_PLAIN_AMBIENT[4] = {0.3f, 0.3f, 0.3f, 1.0f};

namespace {

// A key light from the upper left in front and a weaker fill from the right,
// both fixed to the camera so that every view is lit alike.
constexpr GLfloat KEY_DIRECTION[4] = {-0.45f, 0.65f, 0.6f, 0};
constexpr GLfloat KEY_DIFFUSE[4] = {0.8f, 0.8f, 0.78f, 1};
constexpr GLfloat KEY_SPECULAR[4] = {0.45f, 0.45f, 0.45f, 1};
constexpr GLfloat FILL_DIRECTION[4] = {0.7f, -0.1f, 0.5f, 0};
constexpr GLfloat FILL_DIFFUSE[4] = {0.35f, 0.36f, 0.4f, 1};
constexpr GLfloat NO_LIGHT[4] = {0, 0, 0, 1};
constexpr GLfloat AMBIENT[4] = {0.45f, 0.45f, 0.45f, 1};
constexpr GLfloat PLAIN_SPECULAR[4] = {0.1f, 0.1f, 0.1f, 1};
// Normals are drawn this long, as a share of the prepared model's size (2).
constexpr float NORMAL_LENGTH = 0.05f;

void color(PictureColor c) { glColor3ub(c.r, c.g, c.b); }

void clearColor(PictureColor c) { glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1); }

void placeLights() {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_POSITION, KEY_DIRECTION);
  glLightfv(GL_LIGHT0, GL_AMBIENT, NO_LIGHT);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, KEY_DIFFUSE);
  glLightfv(GL_LIGHT0, GL_SPECULAR, KEY_SPECULAR);
  glLightfv(GL_LIGHT1, GL_POSITION, FILL_DIRECTION);
  glLightfv(GL_LIGHT1, GL_AMBIENT, NO_LIGHT);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, FILL_DIFFUSE);
  glLightfv(GL_LIGHT1, GL_SPECULAR, NO_LIGHT);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, AMBIENT);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHT1);
}

void placeCamera(const ViewCamera& camera) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (camera.ortho) {
    const double h = camera.halfHeight, w = h * camera.aspect;
    glOrtho(-w, w, -h, h, camera.nearPlane, camera.farPlane);
  } else {
    gluPerspective(camera.fovy, camera.aspect, camera.nearPlane, camera.farPlane);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.target.x, camera.target.y, camera.target.z, camera.up.x,
            camera.up.y, camera.up.z);
}

std::vector<float> gridLines(const GroundGrid& grid) {
  std::vector<float> lines;
  const double reach = grid.halfLines * grid.step;
  for (int i = -grid.halfLines; i <= grid.halfLines; ++i) {
    const double offset = i * grid.step;
    const float y = static_cast<float>(grid.level);
    lines.insert(lines.end(), {static_cast<float>(grid.centerX + offset), y, static_cast<float>(grid.centerZ - reach),
                               static_cast<float>(grid.centerX + offset), y, static_cast<float>(grid.centerZ + reach),
                               static_cast<float>(grid.centerX - reach), y, static_cast<float>(grid.centerZ + offset),
                               static_cast<float>(grid.centerX + reach), y, static_cast<float>(grid.centerZ + offset)});
  }
  return lines;
}

// One short line along each vertex normal, from the vertex, in the model's own axes.
std::vector<float> normalLines(const ObjModel& model) {
  std::vector<float> lines;
  if (model.normals.empty()) return lines;
  std::vector<bool> drawn(model.nnormals + 1, false);
  for (const ObjTriangle& triangle : model.tris) {
    for (int corner = 0; corner < 3; ++corner) {
      const unsigned n = triangle.normal[corner], v = triangle.vertex[corner];
      if (n == 0 || n > model.nnormals || drawn[n] || v == 0 || v > model.nvertices) continue;
      drawn[n] = true;
      const float* p = &model.vertices[3 * v];
      const float* d = &model.normals[3 * n];
      lines.insert(lines.end(), {p[0], p[1], p[2], p[0] + NORMAL_LENGTH * d[0], p[1] + NORMAL_LENGTH * d[1],
                                 p[2] + NORMAL_LENGTH * d[2]});
    }
  }
  return lines;
}

void drawLines(const std::vector<float>& lines) {
  if (lines.empty()) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, lines.data());
  glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lines.size() / 3));
  glDisableClientState(GL_VERTEX_ARRAY);
}

void drawModel(const PictureModel& picture, const PictureOptions& options, const std::vector<float>& normals) {
  glPushMatrix();
  // The model's z axis up: (x, y, z) is drawn at (x, z, -y).
  if (options.zUp) glRotated(-90, 1, 0, 0);
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
  // What the display list does not set: the light grey of a model without materials.
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, PICTURE_PLAIN_AMBIENT);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, PICTURE_PLAIN_DIFFUSE);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, PLAIN_SPECULAR);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 20);
  if (options.faces) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
  }
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glCallList(picture.list);
  glPopAttrib();
  if (options.faces) {
    // The faces turned away from the camera, unlit in their own colour.
    glCullFace(GL_FRONT);
    glDisable(GL_LIGHTING);
    color(PICTURE_BACK_FACE);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glCallList(picture.list);
    glPopAttrib();
    glDisable(GL_CULL_FACE);
  }
  if (options.normals) {
    glDisable(GL_LIGHTING);
    color(PICTURE_NORMAL);
    drawLines(normals);
  }
  glPopMatrix();
}

void drawText(int x, int y, const std::string& text) {
  glRasterPos2i(x, y);
  for (char c : text) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, c);
}

std::string footerOf(const PictureModel& picture, const PictureOptions& options, const GroundGrid& grid, bool empty) {
  std::string footer = picture.name + ":  ";
  if (empty) {
    footer += picture.model->ntris == 0 ? "nothing to draw: no triangles"
                                        : "nothing to draw: no triangle has an area and finite corners";
  } else {
    footer += shortNumber(picture.size[0]) + " wide, " + shortNumber(picture.size[1]) + " high, " +
              shortNumber(picture.size[2]) + " deep;  grid " + shortNumber(grid.stepInModelUnits);
  }
  footer += options.ortho ? ";  orthographic" : "";
  return footer;
}

}  // namespace

std::vector<float> drawnPoints(const ObjModel& model, bool zUp) {
  std::vector<bool> taken(model.nvertices + 1, false);
  std::vector<float> points;
  auto finiteVertex = [&model](unsigned v) {
    if (v == 0 || v > model.nvertices) return false;
    const float* p = &model.vertices[3 * v];
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
  };
  auto hasArea = [&model](const ObjTriangle& triangle) {
    const float* a = &model.vertices[3 * triangle.vertex[0]];
    const float* b = &model.vertices[3 * triangle.vertex[1]];
    const float* c = &model.vertices[3 * triangle.vertex[2]];
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    return u[1] * w[2] - u[2] * w[1] != 0 || u[2] * w[0] - u[0] * w[2] != 0 || u[0] * w[1] - u[1] * w[0] != 0;
  };
  for (const ObjTriangle& triangle : model.tris) {
    if (!finiteVertex(triangle.vertex[0]) || !finiteVertex(triangle.vertex[1]) || !finiteVertex(triangle.vertex[2]) ||
        !hasArea(triangle))
      continue;
    for (unsigned v : triangle.vertex) {
      if (taken[v]) continue;
      taken[v] = true;
      const float* p = &model.vertices[3 * v];
      if (zUp)
        points.insert(points.end(), {p[0], p[2], -p[1]});
      else
        points.insert(points.end(), {p[0], p[1], p[2]});
    }
  }
  return points;
}

RgbImage renderPicture(const PictureModel& picture, const PictureOptions& options, std::string* error) {
  const std::vector<ViewAngles> views = pictureViews(options);
  const SheetLayout layout = layoutSheet(static_cast<int>(views.size()), options.width, options.height);
  OffscreenTarget target(layout.width, layout.height);
  if (!target.isComplete()) {
    if (error)
      *error = "cannot make an offscreen framebuffer of " + std::to_string(layout.width) + "x" +
               std::to_string(layout.height) + " pixels";
    return RgbImage();
  }
  const std::vector<float> points = drawnPoints(*picture.model, options.zUp);
  const GroundGrid grid = planGrid(points, picture.modelUnits);
  const std::vector<float> gridVertices = gridLines(grid);
  const std::vector<float> normals = options.normals ? normalLines(*picture.model) : std::vector<float>();

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glDisable(GL_COLOR_MATERIAL);
  glShadeModel(GL_SMOOTH);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
  for (GLenum light = GL_LIGHT2; light <= GL_LIGHT7; ++light) glDisable(light);

  glViewport(0, 0, layout.width, layout.height);
  clearColor(PICTURE_CAPTION_BACKGROUND);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glEnable(GL_DEPTH_TEST);
  const double aspect = static_cast<double>(layout.viewWidth) / layout.viewHeight;
  for (size_t i = 0; i < views.size(); ++i) {
    const ViewRect rect = viewRect(layout, static_cast<int>(i));
    const int bottom = layout.height - rect.y - rect.height;
    glViewport(rect.x, bottom, rect.width, rect.height);
    glScissor(rect.x, bottom, rect.width, rect.height);
    clearColor(PICTURE_BACKGROUND);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    placeLights();
    placeCamera(frameView(views[i], points, aspect, options.ortho));
    glDisable(GL_LIGHTING);
    color(PICTURE_GRID);
    drawLines(gridVertices);
    if (!points.empty()) drawModel(picture, options, normals);
  }
  glDisable(GL_SCISSOR_TEST);

  // Captions, in pixels from the bottom left.
  glViewport(0, 0, layout.width, layout.height);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, layout.width, 0, layout.height);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor3ub(215, 215, 215);
  for (size_t i = 0; i < views.size(); ++i) {
    const ViewRect rect = viewRect(layout, static_cast<int>(i));
    drawText(rect.x + 6, layout.height - rect.y - rect.height - CAPTION_HEIGHT + 5, views[i].label);
  }
  drawText(6, 6, footerOf(picture, options, grid, points.empty()));

  RgbImage image = target.read(layout.width, layout.height);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  return image;
}
