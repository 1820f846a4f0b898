// The GL 1.x calls Velmora makes, with the meaning the GL gives them, over the
// device of backend.h: state, matrix and attribute stacks, immediate mode,
// vertex arrays, display lists, lights and materials, textures, queries and
// selection mode. Anything else is refused with one console line naming it.
#include "web/gl/gl_layer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "web/gl/backend.h"
#include "web/gl/matrix.h"
#include "web/gl/primitives.h"
#include "web/gl/selection.h"

namespace webgl {

void refuse(const std::string& what) {
  // One line per distinct refusal: a frame repeats its calls.
  static std::set<std::string> said;
  if (said.insert(what).second) std::fprintf(stderr, "velmora web GL: %s is not implemented\n", what.c_str());
}

namespace {

// ---- State -------------------------------------------------------------

struct Light {
  float ambient[4] = {0, 0, 0, 1};
  float diffuse[4] = {0, 0, 0, 1};
  float specular[4] = {0, 0, 0, 1};
  float position[4] = {0, 0, 1, 0};  // eye coordinates
  float spotDirection[3] = {0, 0, -1};
  float spotExponent = 0;
  float spotCutoff = 180;
  float attenuation[3] = {1, 0, 0};
};

struct Material {
  float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
  float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
  float specular[4] = {0, 0, 0, 1};
  float emission[4] = {0, 0, 0, 1};
  float shininess = 0;
};

// The server state, in the groups glPushAttrib saves.
struct CurrentGroup {
  float color[4] = {1, 1, 1, 1};
  float normal[3] = {0, 0, 1};
  float texCoord[2] = {0, 0};
};
struct EnableGroup {
  bool lighting = false;
  bool light[MAX_LIGHTS] = {};
  bool depthTest = false;
  bool cullFace = false;
  bool normalize = false;
  bool colorMaterial = false;
  bool texture2D = false;
};
// GL_LIGHT0 alone starts white in diffuse and specular.
struct Lights {
  Light light[MAX_LIGHTS];
  Lights() {
    for (int c = 0; c < 3; ++c) light[0].diffuse[c] = light[0].specular[c] = 1;
  }
  Light& operator[](int i) { return light[i]; }
  const Light& operator[](int i) const { return light[i]; }
};

struct LightingGroup {
  Lights lights;
  Material front, back;
  float sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
  bool localViewer = false;
  GLenum shadeModel = GL_SMOOTH;
};
struct TextureGroup {
  GLuint bound = 0;
  GLenum envMode = GL_MODULATE;
};
struct PolygonGroup {
  GLenum modeFront = GL_FILL, modeBack = GL_FILL, cullFaceMode = GL_BACK;
};
struct ServerState {
  CurrentGroup current;
  EnableGroup enables;
  LightingGroup lighting;
  TextureGroup texture;
  GLenum matrixMode = GL_MODELVIEW;
  GLint viewport[4] = {0, 0, 0, 0};
  PolygonGroup polygon;
  float clearColor[4] = {0, 0, 0, 0};
};

struct SavedAttrib {
  GLbitfield mask;
  ServerState state;
  TextureParameters boundParameters;
};

struct ClientArray {
  bool enabled = false;
  int size = 0;
  int stride = 0;  // in floats
  const float* pointer = nullptr;
};
struct ClientState {
  ClientArray vertex, normal, color, texCoord;
  GLint unpackAlignment = 4;
};

struct TextureObject {
  unsigned handle = 0;
  bool hasImage = false;
  bool hasMipmaps = false;
  TextureParameters parameters{GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT};
};

// A primitive kept in a display list: its triangles, and what it leaves current.
struct ListDraw {
  std::vector<Vertex> triangles;
  unsigned mesh = 0;
  bool setsColor = false, setsNormal = false, setsTexCoord = false;
  CurrentGroup last;
};

struct DisplayList {
  std::vector<std::function<void()>> ops;
};

struct Context {
  ServerState state;
  std::vector<SavedAttrib> attribStack;
  std::vector<std::pair<GLbitfield, ClientState>> clientStack;
  ClientState client;
  std::vector<Matrix> modelview{identityMatrix()};
  std::vector<Matrix> projection{identityMatrix()};
  std::map<GLuint, TextureObject> textures;
  GLuint nextTexture = 1;
  std::map<GLuint, DisplayList> lists;
  GLuint nextList = 1;
  // Compiling: the list being built and whether its calls also run now.
  DisplayList* compiling = nullptr;
  GLuint compilingName = 0;
  GLenum compileMode = GL_COMPILE;
  CurrentGroup currentBeforeList;
  int callDepth = 0;
  // Immediate mode.
  bool inBegin = false;
  GLenum beginMode = 0;
  std::vector<Vertex> immediate;
  bool immediateSets[3] = {};  // colour, normal, texture coordinate given inside glBegin/glEnd
  // Triangles waiting for a draw under the current state.
  std::vector<Vertex> pending;
  GLenum renderMode = GL_RENDER;
  Selection selection;
  GLenum error = GL_NO_ERROR;
  bool deviceReady = false;
};

Context& gl() {
  static Context context;
  return context;
}

void setError(GLenum error) {
  if (gl().error == GL_NO_ERROR) gl().error = error;
}

void copy4(float* to, const float* from) { std::memcpy(to, from, 4 * sizeof(float)); }

// ---- Drawing -------------------------------------------------------------

Matrix& topMatrix() {
  Context& c = gl();
  return c.state.matrixMode == GL_PROJECTION ? c.projection.back() : c.modelview.back();
}

DrawState drawState() {
  const Context& c = gl();
  const ServerState& s = c.state;
  DrawState d{};
  std::memcpy(d.modelview, c.modelview.back().data(), sizeof d.modelview);
  std::memcpy(d.projection, c.projection.back().data(), sizeof d.projection);
  const std::array<float, 9> normals = normalMatrix(c.modelview.back());
  std::memcpy(d.normalMatrix, normals.data(), sizeof d.normalMatrix);
  d.lighting = s.enables.lighting;
  d.normalize = s.enables.normalize;
  d.localViewer = s.lighting.localViewer;
  d.colorMaterial = s.enables.colorMaterial;
  // Without two-sided lighting both faces are lit with the front material.
  const Material& m = s.lighting.front;
  copy4(d.materialAmbient, m.ambient);
  copy4(d.materialDiffuse, m.diffuse);
  copy4(d.materialSpecular, m.specular);
  copy4(d.materialEmission, m.emission);
  d.shininess = m.shininess;
  copy4(d.sceneAmbient, s.lighting.sceneAmbient);
  for (int i = 0; i < MAX_LIGHTS; ++i) {
    if (!s.enables.light[i]) continue;
    const Light& l = s.lighting.lights[i];
    ShaderLight& out = d.lights[d.lightCount++];
    copy4(out.ambient, l.ambient);
    copy4(out.diffuse, l.diffuse);
    copy4(out.specular, l.specular);
    copy4(out.position, l.position);
    const float length = std::sqrt(l.spotDirection[0] * l.spotDirection[0] + l.spotDirection[1] * l.spotDirection[1] +
                                   l.spotDirection[2] * l.spotDirection[2]);
    for (int k = 0; k < 3; ++k) out.spotDirection[k] = length > 0 ? l.spotDirection[k] / length : 0;
    out.spotDirection[3] = l.spotCutoff == 180 ? -2.0f : static_cast<float>(std::cos(l.spotCutoff * M_PI / 180.0));
    out.attenuation[0] = l.attenuation[0];
    out.attenuation[1] = l.attenuation[1];
    out.attenuation[2] = l.attenuation[2];
    out.attenuation[3] = l.spotExponent;
  }
  d.textureMode = 0;
  if (s.enables.texture2D) {
    const auto found = c.textures.find(s.texture.bound);
    if (found != c.textures.end()) {
      const TextureObject& t = found->second;
      const unsigned min = t.parameters.minFilter;
      const bool wantsMipmaps = min != GL_NEAREST && min != GL_LINEAR;
      // An incomplete texture leaves the unit off, as in the GL before 3.0.
      if (t.hasImage && (!wantsMipmaps || t.hasMipmaps)) {
        d.textureMode = s.texture.envMode == GL_REPLACE ? 2 : 1;
        d.texture = t.handle;
      }
    }
  }
  d.depthTest = s.enables.depthTest;
  d.cullFace = s.enables.cullFace;
  d.cullFaceMode = s.polygon.cullFaceMode;
  return d;
}

// Every state change draws what waits first, so that it is drawn under the
// state it was given in.
void flush() {
  Context& c = gl();
  if (c.pending.empty()) return;
  if (c.deviceReady) backendDrawTriangles(c.pending.data(), static_cast<int>(c.pending.size()), drawState());
  c.pending.clear();
}

void selectTriangles(const Vertex* triangles, int count) {
  Context& c = gl();
  const Matrix mvp = multiply(c.projection.back(), c.modelview.back());
  for (int i = 0; i + 2 < count; i += 3) {
    ClipVertex v[3];
    for (int k = 0; k < 3; ++k) {
      const float* p = triangles[i + k].position;
      v[k] = transform(mvp, p[0], p[1], p[2], 1);
    }
    float low, high;
    if (clipTriangle(v[0], v[1], v[2], &low, &high)) c.selection.hit(low, high);
  }
}

void drawTriangles(const Vertex* triangles, int count) {
  Context& c = gl();
  if (c.renderMode == GL_SELECT) {
    selectTriangles(triangles, count);
  } else if (c.renderMode == GL_RENDER) {
    c.pending.insert(c.pending.end(), triangles, triangles + count);
  }
}

void runListDraw(const std::shared_ptr<ListDraw>& draw) {
  Context& c = gl();
  const int count = static_cast<int>(draw->triangles.size());
  if (c.renderMode == GL_SELECT) {
    selectTriangles(draw->triangles.data(), count);
  } else if (c.renderMode == GL_RENDER && count > 0) {
    flush();
    if (c.deviceReady) {
      if (draw->mesh == 0) draw->mesh = backendCreateMesh(draw->triangles.data(), count);
      backendDrawMesh(draw->mesh, count, drawState());
    }
  }
  if (draw->setsColor) copy4(c.state.current.color, draw->last.color);
  if (draw->setsNormal) std::memcpy(c.state.current.normal, draw->last.normal, sizeof draw->last.normal);
  if (draw->setsTexCoord) std::memcpy(c.state.current.texCoord, draw->last.texCoord, sizeof draw->last.texCoord);
}

// One primitive of `count` vertices in `mode`: drawn, selected, or kept in
// the list being compiled.
void submitPrimitive(GLenum mode, const Vertex* vertices, int count, const bool sets[3]) {
  Context& c = gl();
  static std::vector<std::uint32_t> indices;
  indices.clear();
  triangulate(mode, count, indices);
  static std::vector<Vertex> triangles;
  triangles.clear();
  triangles.reserve(indices.size());
  for (std::uint32_t i : indices) triangles.push_back(vertices[i]);
  if (c.compiling != nullptr) {
    auto draw = std::make_shared<ListDraw>();
    draw->triangles = triangles;
    draw->setsColor = sets[0];
    draw->setsNormal = sets[1];
    draw->setsTexCoord = sets[2];
    if (count > 0) {
      const Vertex& last = vertices[count - 1];
      copy4(draw->last.color, last.color);
      std::memcpy(draw->last.normal, last.normal, sizeof last.normal);
      std::memcpy(draw->last.texCoord, last.texCoord, sizeof last.texCoord);
    }
    c.compiling->ops.push_back([draw] { runListDraw(draw); });
    if (c.compileMode == GL_COMPILE) return;
  }
  drawTriangles(triangles.data(), static_cast<int>(triangles.size()));
}

// Runs `op` now, or keeps it in the list being compiled (and runs it too
// under GL_COMPILE_AND_EXECUTE).
template <class Op>
void run(Op op) {
  Context& c = gl();
  if (c.compiling != nullptr) {
    c.compiling->ops.push_back(op);
    if (c.compileMode == GL_COMPILE) return;
  }
  op();
}

bool outsideBegin(const char* call) {
  if (!gl().inBegin) return true;
  refuse(std::string(call) + " between glBegin and glEnd");
  setError(GL_INVALID_OPERATION);
  return false;
}

// ---- Capabilities --------------------------------------------------------

bool* capability(GLenum cap) {
  EnableGroup& e = gl().state.enables;
  switch (cap) {
    case GL_LIGHTING:
      return &e.lighting;
    case GL_DEPTH_TEST:
      return &e.depthTest;
    case GL_CULL_FACE:
      return &e.cullFace;
    case GL_NORMALIZE:
      return &e.normalize;
    case GL_COLOR_MATERIAL:
      return &e.colorMaterial;
    case GL_TEXTURE_2D:
      return &e.texture2D;
    default:
      if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + MAX_LIGHTS) return &e.light[cap - GL_LIGHT0];
      return nullptr;
  }
}

void setCapability(GLenum cap, bool on) {
  bool* flag = capability(cap);
  if (flag == nullptr) {
    char name[64];
    std::snprintf(name, sizeof name, "%s(0x%04X)", on ? "glEnable" : "glDisable", cap);
    refuse(name);
    setError(GL_INVALID_ENUM);
    return;
  }
  if (*flag == on) return;
  flush();
  *flag = on;
}

// ---- Lights and materials ------------------------------------------------

Light* lightOf(GLenum light, const char* call) {
  if (light < GL_LIGHT0 || light >= GL_LIGHT0 + MAX_LIGHTS) {
    refuse(std::string(call) + " of a light beyond GL_LIGHT7");
    setError(GL_INVALID_ENUM);
    return nullptr;
  }
  return &gl().state.lighting.lights[light - GL_LIGHT0];
}

void setLight(GLenum id, GLenum pname, const float* p) {
  Light* light = lightOf(id, "glLight");
  if (light == nullptr) return;
  flush();
  const Matrix& mv = gl().modelview.back();
  switch (pname) {
    case GL_AMBIENT:
      copy4(light->ambient, p);
      break;
    case GL_DIFFUSE:
      copy4(light->diffuse, p);
      break;
    case GL_SPECULAR:
      copy4(light->specular, p);
      break;
    case GL_POSITION: {
      // Kept in eye coordinates: transformed by the modelview of the moment.
      const std::array<float, 4> eye = transform(mv, p[0], p[1], p[2], p[3]);
      std::memcpy(light->position, eye.data(), sizeof light->position);
      break;
    }
    case GL_SPOT_DIRECTION: {
      const std::array<float, 4> eye = transform(mv, p[0], p[1], p[2], 0);
      std::memcpy(light->spotDirection, eye.data(), sizeof light->spotDirection);
      break;
    }
    case GL_SPOT_EXPONENT:
      if (p[0] < 0 || p[0] > 128) return setError(GL_INVALID_VALUE);
      light->spotExponent = p[0];
      break;
    case GL_SPOT_CUTOFF:
      if ((p[0] < 0 || p[0] > 90) && p[0] != 180) return setError(GL_INVALID_VALUE);
      light->spotCutoff = p[0];
      break;
    case GL_CONSTANT_ATTENUATION:
      light->attenuation[0] = p[0];
      break;
    case GL_LINEAR_ATTENUATION:
      light->attenuation[1] = p[0];
      break;
    case GL_QUADRATIC_ATTENUATION:
      light->attenuation[2] = p[0];
      break;
    default:
      refuse("glLight of this parameter");
      setError(GL_INVALID_ENUM);
  }
}

int lightParameterCount(GLenum pname) {
  switch (pname) {
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
    case GL_POSITION:
      return 4;
    case GL_SPOT_DIRECTION:
      return 3;
    default:
      return 1;
  }
}

void setMaterial(GLenum face, GLenum pname, const float* p) {
  if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) return setError(GL_INVALID_ENUM);
  flush();
  LightingGroup& l = gl().state.lighting;
  for (Material* m : {&l.front, &l.back}) {
    if ((m == &l.front && face == GL_BACK) || (m == &l.back && face == GL_FRONT)) continue;
    switch (pname) {
      case GL_AMBIENT:
        copy4(m->ambient, p);
        break;
      case GL_DIFFUSE:
        copy4(m->diffuse, p);
        break;
      case GL_AMBIENT_AND_DIFFUSE:
        copy4(m->ambient, p);
        copy4(m->diffuse, p);
        break;
      case GL_SPECULAR:
        copy4(m->specular, p);
        break;
      case GL_EMISSION:
        copy4(m->emission, p);
        break;
      case GL_SHININESS:
        if (p[0] < 0 || p[0] > 128) return setError(GL_INVALID_VALUE);
        m->shininess = p[0];
        break;
      default:
        refuse("glMaterial of this parameter");
        return setError(GL_INVALID_ENUM);
    }
  }
}

// ---- Textures ------------------------------------------------------------

TextureObject* boundTexture() {
  Context& c = gl();
  if (c.state.texture.bound == 0) return nullptr;
  TextureObject& t = c.textures[c.state.texture.bound];
  if (t.handle == 0 && c.deviceReady) t.handle = backendCreateTexture();
  return &t;
}

// ---- Attribute stacks ----------------------------------------------------

void pushAttrib(GLbitfield mask) {
  Context& c = gl();
  if (c.attribStack.size() >= 16) return setError(GL_STACK_OVERFLOW);
  SavedAttrib saved{mask, c.state, {}};
  if (TextureObject* t = boundTexture()) saved.boundParameters = t->parameters;
  c.attribStack.push_back(saved);
}

void popAttrib() {
  Context& c = gl();
  if (c.attribStack.empty()) return setError(GL_STACK_UNDERFLOW);
  flush();
  const SavedAttrib saved = c.attribStack.back();
  c.attribStack.pop_back();
  ServerState& s = c.state;
  const GLbitfield m = saved.mask;
  if (m & GL_CURRENT_BIT) s.current = saved.state.current;
  if (m & GL_ENABLE_BIT) s.enables = saved.state.enables;
  if (m & GL_LIGHTING_BIT) {
    s.lighting = saved.state.lighting;
    s.enables.lighting = saved.state.enables.lighting;
    std::copy(saved.state.enables.light, saved.state.enables.light + MAX_LIGHTS, s.enables.light);
    s.enables.colorMaterial = saved.state.enables.colorMaterial;
  }
  if (m & GL_TEXTURE_BIT) {
    s.texture = saved.state.texture;
    s.enables.texture2D = saved.state.enables.texture2D;
    if (TextureObject* t = boundTexture()) {
      t->parameters = saved.boundParameters;
      if (t->handle != 0) backendTextureParameters(t->handle, t->parameters);
    }
  }
  if (m & GL_TRANSFORM_BIT) {
    s.matrixMode = saved.state.matrixMode;
    s.enables.normalize = saved.state.enables.normalize;
  }
  if (m & GL_VIEWPORT_BIT) {
    std::copy(saved.state.viewport, saved.state.viewport + 4, s.viewport);
    if (c.deviceReady) backendViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
  }
  if (m & GL_POLYGON_BIT) {
    s.polygon = saved.state.polygon;
    s.enables.cullFace = saved.state.enables.cullFace;
  }
  if (m & GL_DEPTH_BUFFER_BIT) s.enables.depthTest = saved.state.enables.depthTest;
  if (m & GL_COLOR_BUFFER_BIT) copy4(s.clearColor, saved.state.clearColor);
}

// ---- Vertex arrays -------------------------------------------------------

Vertex currentVertex() {
  const CurrentGroup& cur = gl().state.current;
  Vertex v{};
  std::memcpy(v.normal, cur.normal, sizeof v.normal);
  copy4(v.color, cur.color);
  std::memcpy(v.texCoord, cur.texCoord, sizeof v.texCoord);
  return v;
}

// Executes a display list's calls; nesting is bounded as the GL bounds it.
void callList(GLuint name) {
  Context& c = gl();
  const auto found = c.lists.find(name);
  if (found == c.lists.end() || c.callDepth >= 64) return;
  ++c.callDepth;
  // A running list cannot be recompiled: glNewList is never kept in a list.
  for (const auto& op : found->second.ops) op();
  --c.callDepth;
}

void matrixOp(const Matrix& m) {
  flush();
  Matrix& top = topMatrix();
  top = multiply(top, m);
}

}  // namespace

// ---- For the layer's other files --------------------------------------------

void deviceReady() { gl().deviceReady = true; }

void flushDrawing() { flush(); }

void multiplyCurrentMatrix(const Matrix& m) {
  run([m] { matrixOp(m); });
}

void getMatrix(GLenum which, float out[16]) {
  const Context& c = gl();
  const Matrix& m = which == GL_PROJECTION_MATRIX ? c.projection.back() : c.modelview.back();
  std::memcpy(out, m.data(), 16 * sizeof(float));
}

int renderMode() { return static_cast<int>(gl().renderMode); }

void uploadTexture(GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels,
                   bool mipmaps, const char* call) {
  Context& c = gl();
  if (type != GL_UNSIGNED_BYTE) return refuse(std::string(call) + " of a type other than GL_UNSIGNED_BYTE");
  int channels = 0;
  bool swapRedBlue = false;
  switch (format) {
    case GL_RGB:
      channels = 3;
      break;
    case GL_RGBA:
      channels = 4;
      break;
    case GL_BGR:
      channels = 3;
      swapRedBlue = true;
      break;
    case GL_BGRA:
      channels = 4;
      swapRedBlue = true;
      break;
    default:
      return refuse(std::string(call) + " of this pixel format");
  }
  // The internal format follows the component count the program asks for.
  const int stored = internalFormat == 4 || internalFormat == GL_RGBA ? 4 : 3;
  if (width <= 0 || height <= 0 || pixels == nullptr) return setError(GL_INVALID_VALUE);
  TextureObject* texture = boundTexture();
  if (texture == nullptr) return refuse(std::string(call) + " into texture 0");
  flush();
  // Rows are repacked tightly, red first, with the components the texture keeps.
  const int alignment = c.client.unpackAlignment;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
  const std::size_t rowStride = (rowBytes + alignment - 1) / alignment * alignment;
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(width) * height * stored);
  const auto* source = static_cast<const std::uint8_t*>(pixels);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = source + rowStride * y;
    std::uint8_t* out = packed.data() + static_cast<std::size_t>(y) * width * stored;
    for (int x = 0; x < width; ++x, row += channels, out += stored) {
      out[0] = swapRedBlue ? row[2] : row[0];
      out[1] = row[1];
      out[2] = swapRedBlue ? row[0] : row[2];
      if (stored == 4) out[3] = channels == 4 ? row[3] : 255;
    }
  }
  if (c.deviceReady) {
    backendTextureImage(texture->handle, width, height, stored, packed.data(), mipmaps);
    backendTextureParameters(texture->handle, texture->parameters);
  }
  texture->hasImage = true;
  texture->hasMipmaps = mipmaps;
}

}  // namespace webgl

using namespace webgl;

extern "C" {

// ---- State -------------------------------------------------------------------

void glEnable(GLenum cap) {
  run([cap] { setCapability(cap, true); });
}

void glDisable(GLenum cap) {
  run([cap] { setCapability(cap, false); });
}

GLboolean glIsEnabled(GLenum cap) {
  // Asked by code that checks it is in the state it models; this layer never
  // rescales normals (glEnable refuses it), so it is off.
  if (cap == GL_RESCALE_NORMAL) return GL_FALSE;
  const bool* flag = capability(cap);
  if (flag == nullptr) {
    refuse("glIsEnabled of this capability");
    return GL_FALSE;
  }
  return *flag ? GL_TRUE : GL_FALSE;
}

GLenum glGetError(void) {
  const GLenum error = gl().error;
  gl().error = GL_NO_ERROR;
  return error;
}

const GLubyte* glGetString(GLenum name) {
  switch (name) {
    case GL_VENDOR:
      return reinterpret_cast<const GLubyte*>("Velmora");
    case GL_RENDERER:
      return reinterpret_cast<const GLubyte*>("Velmora GL 1.x over WebGL 2");
    case GL_VERSION:
      return reinterpret_cast<const GLubyte*>("1.1 Velmora web");
    default:
      return nullptr;
  }
}

}  // extern "C"

namespace {

// The queries, answered in doubles and narrowed by the callers.
bool getValues(GLenum pname, double* out) {
  const Context& c = gl();
  const ServerState& s = c.state;
  switch (pname) {
    case GL_VIEWPORT:
      std::copy(s.viewport, s.viewport + 4, out);
      return true;
    case GL_MATRIX_MODE:
      out[0] = s.matrixMode;
      return true;
    case GL_RENDER_MODE:
      out[0] = c.renderMode;
      return true;
    case GL_MAX_LIGHTS:
      out[0] = MAX_LIGHTS;
      return true;
    case GL_MAX_TEXTURE_SIZE:
      out[0] = 4096;
      return true;
    case GL_POLYGON_MODE:
      out[0] = s.polygon.modeFront;
      out[1] = s.polygon.modeBack;
      return true;
    case GL_CULL_FACE_MODE:
      out[0] = s.polygon.cullFaceMode;
      return true;
    case GL_SHADE_MODEL:
      out[0] = s.lighting.shadeModel;
      return true;
    case GL_TEXTURE_BINDING_2D:
      out[0] = s.texture.bound;
      return true;
    case GL_UNPACK_ALIGNMENT:
      out[0] = c.client.unpackAlignment;
      return true;
    case GL_PACK_ALIGNMENT:
      out[0] = 4;
      return true;
    case GL_MODELVIEW_STACK_DEPTH:
      out[0] = static_cast<double>(c.modelview.size());
      return true;
    case GL_PROJECTION_STACK_DEPTH:
      out[0] = static_cast<double>(c.projection.size());
      return true;
    case GL_NAME_STACK_DEPTH:
      out[0] = c.selection.depth();
      return true;
    case GL_LIGHT_MODEL_AMBIENT:
      std::copy(s.lighting.sceneAmbient, s.lighting.sceneAmbient + 4, out);
      return true;
    case GL_LIGHT_MODEL_LOCAL_VIEWER:
      out[0] = s.lighting.localViewer;
      return true;
    case GL_LIGHT_MODEL_TWO_SIDE:
      out[0] = 0;  // two-sided lighting is refused when asked for
      return true;
    case GL_LIGHT_MODEL_COLOR_CONTROL:
      out[0] = GL_SINGLE_COLOR;  // the specular colour is always added before texturing
      return true;
    case GL_COLOR_CLEAR_VALUE:
      std::copy(s.clearColor, s.clearColor + 4, out);
      return true;
    case GL_CURRENT_COLOR:
      std::copy(s.current.color, s.current.color + 4, out);
      return true;
    case GL_CURRENT_NORMAL:
      std::copy(s.current.normal, s.current.normal + 3, out);
      return true;
    case GL_CURRENT_TEXTURE_COORDS:
      out[0] = s.current.texCoord[0];
      out[1] = s.current.texCoord[1];
      out[2] = 0;
      out[3] = 1;
      return true;
    case GL_MODELVIEW_MATRIX:
      std::copy(c.modelview.back().begin(), c.modelview.back().end(), out);
      return true;
    case GL_PROJECTION_MATRIX:
      std::copy(c.projection.back().begin(), c.projection.back().end(), out);
      return true;
    default: {
      if (const bool* flag = capability(pname)) {
        out[0] = *flag;
        return true;
      }
      char name[48];
      std::snprintf(name, sizeof name, "glGet(0x%04X)", pname);
      refuse(name);
      return false;
    }
  }
}

int valueCount(GLenum pname) {
  switch (pname) {
    case GL_VIEWPORT:
    case GL_LIGHT_MODEL_AMBIENT:
    case GL_COLOR_CLEAR_VALUE:
    case GL_CURRENT_COLOR:
    case GL_CURRENT_TEXTURE_COORDS:
      return 4;
    case GL_CURRENT_NORMAL:
      return 3;
    case GL_POLYGON_MODE:
      return 2;
    case GL_MODELVIEW_MATRIX:
    case GL_PROJECTION_MATRIX:
      return 16;
    default:
      return 1;
  }
}

// Colours read as integers map [-1, 1] onto the whole int range, as the GL does.
bool isColorQuery(GLenum pname) {
  return pname == GL_LIGHT_MODEL_AMBIENT || pname == GL_COLOR_CLEAR_VALUE || pname == GL_CURRENT_COLOR;
}

}  // namespace

extern "C" {

void glGetIntegerv(GLenum pname, GLint* params) {
  double v[16];
  if (!getValues(pname, v)) return setError(GL_INVALID_ENUM);
  for (int i = 0; i < valueCount(pname); ++i) {
    params[i] = isColorQuery(pname) ? static_cast<GLint>(std::lround(v[i] * 2147483647.0))
                                    : static_cast<GLint>(std::lround(v[i]));
  }
}

void glGetFloatv(GLenum pname, GLfloat* params) {
  double v[16];
  if (!getValues(pname, v)) return setError(GL_INVALID_ENUM);
  for (int i = 0; i < valueCount(pname); ++i) params[i] = static_cast<GLfloat>(v[i]);
}

void glGetDoublev(GLenum pname, GLdouble* params) {
  double v[16];
  if (!getValues(pname, v)) return setError(GL_INVALID_ENUM);
  std::copy(v, v + valueCount(pname), params);
}

void glPushAttrib(GLbitfield mask) {
  run([mask] { pushAttrib(mask); });
}

void glPopAttrib(void) {
  run([] { popAttrib(); });
}

void glPushClientAttrib(GLbitfield mask) {
  Context& c = gl();
  if (c.clientStack.size() >= 16) return setError(GL_STACK_OVERFLOW);
  c.clientStack.emplace_back(mask, c.client);
}

void glPopClientAttrib(void) {
  Context& c = gl();
  if (c.clientStack.empty()) return setError(GL_STACK_UNDERFLOW);
  const auto& [mask, saved] = c.clientStack.back();
  if (mask & GL_CLIENT_VERTEX_ARRAY_BIT) {
    c.client.vertex = saved.vertex;
    c.client.normal = saved.normal;
    c.client.color = saved.color;
    c.client.texCoord = saved.texCoord;
  }
  if (mask & GL_CLIENT_PIXEL_STORE_BIT) c.client.unpackAlignment = saved.unpackAlignment;
  c.clientStack.pop_back();
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  run([=] {
    const float color[4] = {std::clamp(red, 0.0f, 1.0f), std::clamp(green, 0.0f, 1.0f), std::clamp(blue, 0.0f, 1.0f),
                            std::clamp(alpha, 0.0f, 1.0f)};
    copy4(gl().state.clearColor, color);
  });
}

void glClear(GLbitfield mask) {
  run([mask] {
    Context& c = gl();
    // Only a rendering pass touches the buffers.
    if (c.renderMode != GL_RENDER) return;
    flush();
    if (c.deviceReady) backendClear(mask & GL_COLOR_BUFFER_BIT, mask & GL_DEPTH_BUFFER_BIT, c.state.clearColor);
  });
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  run([=] {
    if (width < 0 || height < 0) return setError(GL_INVALID_VALUE);
    flush();
    GLint* v = gl().state.viewport;
    v[0] = x;
    v[1] = y;
    v[2] = width;
    v[3] = height;
    if (gl().deviceReady) backendViewport(x, y, width, height);
  });
}

void glPolygonMode(GLenum face, GLenum mode) {
  run([=] {
    if (mode != GL_FILL) return refuse("glPolygonMode with a mode other than GL_FILL");
    PolygonGroup& p = gl().state.polygon;
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) p.modeFront = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) p.modeBack = mode;
  });
}

void glCullFace(GLenum mode) {
  run([mode] {
    if (mode != GL_FRONT && mode != GL_BACK && mode != GL_FRONT_AND_BACK) return setError(GL_INVALID_ENUM);
    flush();
    gl().state.polygon.cullFaceMode = mode;
  });
}

void glShadeModel(GLenum mode) {
  run([mode] {
    if (mode != GL_SMOOTH) return refuse("glShadeModel(GL_FLAT)");
    gl().state.lighting.shadeModel = mode;
  });
}

void glPixelStorei(GLenum pname, GLint param) {
  if (pname == GL_UNPACK_ALIGNMENT && (param == 1 || param == 2 || param == 4 || param == 8)) {
    gl().client.unpackAlignment = param;
  } else if (pname != GL_PACK_ALIGNMENT) {
    refuse("glPixelStorei of this parameter");
  }
}

void glFlush(void) { flush(); }

void glFinish(void) {
  flush();
  if (gl().deviceReady) backendFinish();
}

// ---- Matrices ------------------------------------------------------------------

void glMatrixMode(GLenum mode) {
  run([mode] {
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION)
      return refuse("glMatrixMode of a mode other than GL_MODELVIEW or GL_PROJECTION");
    gl().state.matrixMode = mode;
  });
}

void glLoadIdentity(void) {
  run([] {
    flush();
    topMatrix() = identityMatrix();
  });
}

void glPushMatrix(void) {
  run([] {
    Context& c = gl();
    auto& stack = c.state.matrixMode == GL_PROJECTION ? c.projection : c.modelview;
    // The depths Mesa gives: 32 modelview matrices and 32 projection ones.
    if (stack.size() >= 32) return setError(GL_STACK_OVERFLOW);
    stack.push_back(stack.back());
  });
}

void glPopMatrix(void) {
  run([] {
    Context& c = gl();
    auto& stack = c.state.matrixMode == GL_PROJECTION ? c.projection : c.modelview;
    if (stack.size() <= 1) return setError(GL_STACK_UNDERFLOW);
    flush();
    stack.pop_back();
  });
}

void glLoadMatrixf(const GLfloat* m) {
  Matrix matrix;
  std::copy(m, m + 16, matrix.begin());
  run([matrix] {
    flush();
    topMatrix() = matrix;
  });
}

void glLoadMatrixd(const GLdouble* m) {
  GLfloat f[16];
  for (int i = 0; i < 16; ++i) f[i] = static_cast<GLfloat>(m[i]);
  glLoadMatrixf(f);
}

void glMultMatrixf(const GLfloat* m) {
  Matrix matrix;
  std::copy(m, m + 16, matrix.begin());
  multiplyCurrentMatrix(matrix);
}

void glMultMatrixd(const GLdouble* m) {
  Matrix matrix;
  for (int i = 0; i < 16; ++i) matrix[i] = static_cast<float>(m[i]);
  multiplyCurrentMatrix(matrix);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { multiplyCurrentMatrix(translation(x, y, z)); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { multiplyCurrentMatrix(translation(x, y, z)); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { multiplyCurrentMatrix(rotation(angle, x, y, z)); }
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) { multiplyCurrentMatrix(rotation(angle, x, y, z)); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { multiplyCurrentMatrix(scaling(x, y, z)); }
void glScaled(GLdouble x, GLdouble y, GLdouble z) { multiplyCurrentMatrix(scaling(x, y, z)); }

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
  multiplyCurrentMatrix(frustum(left, right, bottom, top, zNear, zFar));
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
  multiplyCurrentMatrix(ortho(left, right, bottom, top, zNear, zFar));
}

// ---- Immediate mode ------------------------------------------------------------

void glBegin(GLenum mode) {
  Context& c = gl();
  if (c.inBegin) return setError(GL_INVALID_OPERATION);
  if (!isPolygonPrimitive(mode)) {
    refuse("glBegin of points or lines");
    return setError(GL_INVALID_ENUM);
  }
  c.inBegin = true;
  c.beginMode = mode;
  c.immediate.clear();
  std::fill(c.immediateSets, c.immediateSets + 3, false);
}

void glEnd(void) {
  Context& c = gl();
  if (!c.inBegin) return setError(GL_INVALID_OPERATION);
  c.inBegin = false;
  submitPrimitive(c.beginMode, c.immediate.data(), static_cast<int>(c.immediate.size()), c.immediateSets);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  Context& c = gl();
  if (!c.inBegin) {
    refuse("glVertex outside glBegin and glEnd");
    return;
  }
  Vertex v = currentVertex();
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  c.immediate.push_back(v);
}

void glVertex2f(GLfloat x, GLfloat y) { glVertex3f(x, y, 0); }
void glVertex3fv(const GLfloat* v) { glVertex3f(v[0], v[1], v[2]); }
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
  glVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

}  // extern "C"

namespace {

// The current attributes: inside glBegin/glEnd they go with the next vertex;
// outside, into the current state (and into the list being compiled).
void setCurrent(int which, const float* values) {
  Context& c = gl();
  const auto apply = [which](const std::array<float, 4>& v) {
    CurrentGroup& cur = gl().state.current;
    if (which == 0) std::copy(v.begin(), v.end(), cur.color);
    if (which == 1) std::copy(v.begin(), v.begin() + 3, cur.normal);
    if (which == 2) std::copy(v.begin(), v.begin() + 2, cur.texCoord);
  };
  std::array<float, 4> v{};
  std::copy(values, values + (which == 0 ? 4 : which == 1 ? 3 : 2), v.begin());
  if (c.inBegin) {
    c.immediateSets[which] = true;
    apply(v);
    return;
  }
  run([apply, v] { apply(v); });
  // While compiling, later vertices of this list take the value too.
  if (c.compiling != nullptr && c.compileMode == GL_COMPILE) apply(v);
}

}  // namespace

extern "C" {

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
  const float v[3] = {x, y, z};
  setCurrent(1, v);
}
void glNormal3fv(const GLfloat* v) { setCurrent(1, v); }
void glTexCoord2f(GLfloat s, GLfloat t) {
  const float v[2] = {s, t};
  setCurrent(2, v);
}
void glTexCoord2fv(const GLfloat* v) { setCurrent(2, v); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  const float v[4] = {r, g, b, a};
  setCurrent(0, v);
}
void glColor4fv(const GLfloat* v) { setCurrent(0, v); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1); }
void glColor3fv(const GLfloat* v) { glColor4f(v[0], v[1], v[2], 1); }

// ---- Vertex arrays ---------------------------------------------------------------

void glEnableClientState(GLenum array) {
  ClientState& s = gl().client;
  switch (array) {
    case GL_VERTEX_ARRAY:
      s.vertex.enabled = true;
      break;
    case GL_NORMAL_ARRAY:
      s.normal.enabled = true;
      break;
    case GL_COLOR_ARRAY:
      s.color.enabled = true;
      break;
    case GL_TEXTURE_COORD_ARRAY:
      s.texCoord.enabled = true;
      break;
    default:
      refuse("glEnableClientState of this array");
  }
}

void glDisableClientState(GLenum array) {
  ClientState& s = gl().client;
  switch (array) {
    case GL_VERTEX_ARRAY:
      s.vertex.enabled = false;
      break;
    case GL_NORMAL_ARRAY:
      s.normal.enabled = false;
      break;
    case GL_COLOR_ARRAY:
      s.color.enabled = false;
      break;
    case GL_TEXTURE_COORD_ARRAY:
      s.texCoord.enabled = false;
      break;
    default:
      refuse("glDisableClientState of this array");
  }
}

void glInterleavedArrays(GLenum format, GLsizei stride, const GLvoid* pointer) {
  // Layouts in floats: texture coordinates, normal, position.
  int tex = 0, normal = 0;
  switch (format) {
    case GL_V3F:
      break;
    case GL_N3F_V3F:
      normal = 3;
      break;
    case GL_T2F_V3F:
      tex = 2;
      break;
    case GL_T2F_N3F_V3F:
      tex = 2;
      normal = 3;
      break;
    default:
      return refuse("glInterleavedArrays of this format");
  }
  if (stride < 0 || stride % 4 != 0) return refuse("glInterleavedArrays with a stride that is not whole floats");
  const int packed = tex + normal + 3;
  const int floats = stride == 0 ? packed : stride / 4;
  const auto* base = static_cast<const float*>(pointer);
  ClientState& s = gl().client;
  s.color.enabled = false;
  s.texCoord = {tex > 0, 2, floats, base};
  s.normal = {normal > 0, 3, floats, base + tex};
  s.vertex = {true, 3, floats, base + tex + normal};
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  Context& c = gl();
  if (count < 0 || first < 0) return setError(GL_INVALID_VALUE);
  if (!isPolygonPrimitive(mode)) {
    refuse("glDrawArrays of points or lines");
    return setError(GL_INVALID_ENUM);
  }
  const ClientState& s = c.client;
  if (!s.vertex.enabled || s.vertex.pointer == nullptr) return;
  static std::vector<Vertex> vertices;
  vertices.clear();
  const Vertex current = currentVertex();
  for (GLint i = first; i < first + count; ++i) {
    Vertex v = current;
    const float* p = s.vertex.pointer + static_cast<std::size_t>(i) * s.vertex.stride;
    std::copy(p, p + 3, v.position);
    if (s.normal.enabled) {
      const float* n = s.normal.pointer + static_cast<std::size_t>(i) * s.normal.stride;
      std::copy(n, n + 3, v.normal);
    }
    if (s.texCoord.enabled) {
      const float* t = s.texCoord.pointer + static_cast<std::size_t>(i) * s.texCoord.stride;
      std::copy(t, t + 2, v.texCoord);
    }
    if (s.color.enabled) {
      const float* col = s.color.pointer + static_cast<std::size_t>(i) * s.color.stride;
      std::copy(col, col + 4, v.color);
    }
    vertices.push_back(v);
  }
  const bool sets[3] = {false, false, false};
  submitPrimitive(mode, vertices.data(), count, sets);
}

// ---- Lighting and materials ----------------------------------------------------------

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
  std::array<float, 4> v{};
  std::copy(params, params + lightParameterCount(pname), v.begin());
  run([=] { setLight(light, pname, v.data()); });
}

void glLightf(GLenum light, GLenum pname, GLfloat param) {
  if (lightParameterCount(pname) != 1) return setError(GL_INVALID_ENUM);
  glLightfv(light, pname, &param);
}

void glGetLightfv(GLenum id, GLenum pname, GLfloat* params) {
  const Light* light = lightOf(id, "glGetLightfv");
  if (light == nullptr) return;
  switch (pname) {
    case GL_AMBIENT:
      copy4(params, light->ambient);
      break;
    case GL_DIFFUSE:
      copy4(params, light->diffuse);
      break;
    case GL_SPECULAR:
      copy4(params, light->specular);
      break;
    case GL_POSITION:
      copy4(params, light->position);
      break;
    case GL_SPOT_DIRECTION:
      std::copy(light->spotDirection, light->spotDirection + 3, params);
      break;
    case GL_SPOT_EXPONENT:
      params[0] = light->spotExponent;
      break;
    case GL_SPOT_CUTOFF:
      params[0] = light->spotCutoff;
      break;
    case GL_CONSTANT_ATTENUATION:
      params[0] = light->attenuation[0];
      break;
    case GL_LINEAR_ATTENUATION:
      params[0] = light->attenuation[1];
      break;
    case GL_QUADRATIC_ATTENUATION:
      params[0] = light->attenuation[2];
      break;
    default:
      refuse("glGetLightfv of this parameter");
      setError(GL_INVALID_ENUM);
  }
}

void glLightModeli(GLenum pname, GLint param) {
  run([=] {
    if (pname == GL_LIGHT_MODEL_LOCAL_VIEWER) {
      flush();
      gl().state.lighting.localViewer = param != 0;
    } else if (pname == GL_LIGHT_MODEL_TWO_SIDE && param == 0) {
      // One-sided lighting is all this layer does.
    } else {
      refuse("glLightModeli of this parameter");
    }
  });
}

void glLightModelfv(GLenum pname, const GLfloat* params) {
  if (pname != GL_LIGHT_MODEL_AMBIENT) {
    if (pname == GL_LIGHT_MODEL_LOCAL_VIEWER || pname == GL_LIGHT_MODEL_TWO_SIDE) {
      return glLightModeli(pname, static_cast<GLint>(params[0]));
    }
    return refuse("glLightModelfv of this parameter");
  }
  std::array<float, 4> v{};
  std::copy(params, params + 4, v.begin());
  run([v] {
    flush();
    copy4(gl().state.lighting.sceneAmbient, v.data());
  });
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
  if (!outsideBegin("glMaterial")) return;
  std::array<float, 4> v{};
  std::copy(params, params + (pname == GL_SHININESS ? 1 : 4), v.begin());
  run([=] { setMaterial(face, pname, v.data()); });
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param) {
  if (pname != GL_SHININESS) return setError(GL_INVALID_ENUM);
  glMaterialfv(face, pname, &param);
}

void glGetMaterialfv(GLenum face, GLenum pname, GLfloat* params) {
  const LightingGroup& l = gl().state.lighting;
  if (face != GL_FRONT && face != GL_BACK) return setError(GL_INVALID_ENUM);
  const Material& m = face == GL_FRONT ? l.front : l.back;
  switch (pname) {
    case GL_AMBIENT:
      copy4(params, m.ambient);
      break;
    case GL_DIFFUSE:
      copy4(params, m.diffuse);
      break;
    case GL_SPECULAR:
      copy4(params, m.specular);
      break;
    case GL_EMISSION:
      copy4(params, m.emission);
      break;
    case GL_SHININESS:
      params[0] = m.shininess;
      break;
    default:
      refuse("glGetMaterialfv of this parameter");
      setError(GL_INVALID_ENUM);
  }
}

// ---- Textures ----------------------------------------------------------------------

void glGenTextures(GLsizei n, GLuint* textures) {
  Context& c = gl();
  for (GLsizei i = 0; i < n; ++i) {
    textures[i] = c.nextTexture++;
    c.textures[textures[i]];
  }
}

void glDeleteTextures(GLsizei n, const GLuint* textures) {
  (void)n;
  (void)textures;
  refuse("glDeleteTextures");
}

void glBindTexture(GLenum target, GLuint texture) {
  run([=] {
    if (target != GL_TEXTURE_2D) return refuse("glBindTexture of a target other than GL_TEXTURE_2D");
    Context& c = gl();
    if (c.state.texture.bound == texture) return;
    flush();
    c.state.texture.bound = texture;
    if (texture != 0) c.nextTexture = std::max(c.nextTexture, texture + 1);
    boundTexture();
  });
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
  if (gl().compiling != nullptr) return refuse("glTexImage2D in a display list");
  if (target != GL_TEXTURE_2D || level != 0 || border != 0) {
    return refuse("glTexImage2D of a target other than GL_TEXTURE_2D, a level other than 0 or a border");
  }
  uploadTexture(internalFormat, width, height, format, type, pixels, false, "glTexImage2D");
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  run([=] {
    if (target != GL_TEXTURE_2D) return refuse("glTexParameteri of a target other than GL_TEXTURE_2D");
    TextureObject* t = boundTexture();
    if (t == nullptr) return refuse("glTexParameteri of texture 0");
    TextureParameters& p = t->parameters;
    const unsigned value = static_cast<unsigned>(param);
    switch (pname) {
      case GL_TEXTURE_MIN_FILTER:
        p.minFilter = value;
        break;
      case GL_TEXTURE_MAG_FILTER:
        p.magFilter = value;
        break;
      case GL_TEXTURE_WRAP_S:
        p.wrapS = value;
        break;
      case GL_TEXTURE_WRAP_T:
        p.wrapT = value;
        break;
      default:
        return refuse("glTexParameteri of this parameter");
    }
    flush();
    if (t->handle != 0) backendTextureParameters(t->handle, p);
  });
}

void glTexEnvf(GLenum target, GLenum pname, GLfloat param) { glTexEnvi(target, pname, static_cast<GLint>(param)); }

void glTexEnvi(GLenum target, GLenum pname, GLint param) {
  run([=] {
    if (target != GL_TEXTURE_ENV || pname != GL_TEXTURE_ENV_MODE) return refuse("glTexEnv of this parameter");
    if (param != GL_MODULATE && param != GL_REPLACE)
      return refuse("glTexEnv of a mode other than GL_MODULATE or GL_REPLACE");
    flush();
    gl().state.texture.envMode = static_cast<GLenum>(param);
  });
}

// ---- Display lists ---------------------------------------------------------------------

GLuint glGenLists(GLsizei range) {
  Context& c = gl();
  if (range <= 0) return 0;
  const GLuint first = c.nextList;
  c.nextList += static_cast<GLuint>(range);
  return first;
}

void glNewList(GLuint list, GLenum mode) {
  Context& c = gl();
  if (list == 0) return setError(GL_INVALID_VALUE);
  if (c.compiling != nullptr || c.inBegin) return setError(GL_INVALID_OPERATION);
  if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) return setError(GL_INVALID_ENUM);
  static DisplayList building;
  building.ops.clear();
  c.compiling = &building;
  c.compilingName = list;
  c.compileMode = mode;
  c.currentBeforeList = c.state.current;
}

void glEndList(void) {
  Context& c = gl();
  if (c.compiling == nullptr) return setError(GL_INVALID_OPERATION);
  // A list replaces the old one only once it is complete: it may call it.
  c.lists[c.compilingName].ops = std::move(c.compiling->ops);
  c.compiling = nullptr;
  // Compiling does not change the current attributes; executing does.
  if (c.compileMode == GL_COMPILE) c.state.current = c.currentBeforeList;
  c.nextList = std::max(c.nextList, c.compilingName + 1);
}

void glCallList(GLuint list) {
  run([list] { callList(list); });
}

void glDeleteLists(GLuint list, GLsizei range) {
  for (GLsizei i = 0; i < range; ++i) gl().lists.erase(list + static_cast<GLuint>(i));
}

GLboolean glIsList(GLuint list) { return gl().lists.count(list) != 0 ? GL_TRUE : GL_FALSE; }

// ---- Selection ---------------------------------------------------------------------------

GLint glRenderMode(GLenum mode) {
  Context& c = gl();
  if (c.inBegin) {
    setError(GL_INVALID_OPERATION);
    return 0;
  }
  if (mode != GL_RENDER && mode != GL_SELECT) {
    refuse("glRenderMode(GL_FEEDBACK)");
    setError(GL_INVALID_ENUM);
    return 0;
  }
  flush();
  GLint result = 0;
  if (c.renderMode == GL_SELECT) result = c.selection.finish();
  if (mode == GL_SELECT) c.selection.start();
  c.renderMode = mode;
  return result;
}

void glSelectBuffer(GLsizei size, GLuint* buffer) {
  Context& c = gl();
  if (c.renderMode == GL_SELECT) return setError(GL_INVALID_OPERATION);
  if (size < 0) return setError(GL_INVALID_VALUE);
  c.selection.setBuffer(buffer, size);
}

void glInitNames(void) {
  run([] {
    if (gl().renderMode == GL_SELECT) gl().selection.initNames();
  });
}

void glLoadName(GLuint name) {
  run([name] {
    if (gl().renderMode != GL_SELECT) return;
    if (!gl().selection.loadName(name)) setError(GL_INVALID_OPERATION);
  });
}

void glPushName(GLuint name) {
  run([name] {
    if (gl().renderMode != GL_SELECT) return;
    if (!gl().selection.pushName(name)) setError(GL_STACK_OVERFLOW);
  });
}

void glPopName(void) {
  run([] {
    if (gl().renderMode != GL_SELECT) return;
    if (!gl().selection.popName()) setError(GL_STACK_UNDERFLOW);
  });
}

}  // extern "C"
